/* The browser build's SDL_ttf: the calls of SDL_ttf 2.0 that the display
   makes, declared as SDL_ttf 2.0 declares them and carried out by the layer
   in ttf_layer.h over FreeType. Native builds use Debian's SDL_ttf itself. */
#ifndef _SDL_TTF_H
#define _SDL_TTF_H

#include "SDL.h"
#include "begin_code.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _TTF_Font TTF_Font;

extern DECLSPEC int SDLCALL TTF_Init(void);
extern DECLSPEC TTF_Font * SDLCALL TTF_OpenFontRW(SDL_RWops *src, int freesrc, int ptsize);
extern DECLSPEC int SDLCALL TTF_FontHeight(const TTF_Font *font);
extern DECLSPEC int SDLCALL TTF_FontAscent(const TTF_Font *font);
extern DECLSPEC int SDLCALL TTF_FontDescent(const TTF_Font *font);
extern DECLSPEC int SDLCALL TTF_GlyphIsProvided(const TTF_Font *font, Uint16 ch);
extern DECLSPEC int SDLCALL TTF_GlyphMetrics(TTF_Font *font, Uint16 ch,
				     int *minx, int *maxx,
                                     int *miny, int *maxy, int *advance);
extern DECLSPEC int SDLCALL TTF_SizeText(TTF_Font *font, const char *text, int *w, int *h);
extern DECLSPEC SDL_Surface * SDLCALL TTF_RenderText_Blended(TTF_Font *font,
				const char *text, SDL_Color fg);
extern DECLSPEC void SDLCALL TTF_CloseFont(TTF_Font *font);
extern DECLSPEC void SDLCALL TTF_Quit(void);

#define TTF_SetError	SDL_SetError
#define TTF_GetError	SDL_GetError

#ifdef __cplusplus
}
#endif
#include "close_code.h"

#endif /* _SDL_TTF_H */
