# The font the page ships: the calculator's font cut down by fontTools
# (Debian's python3-fonttools) to the characters the screen can show, which
# the display checks at start-up (display/fonts.cpp): the number line's
# digits, point, signs, exponent letter and the letters of "nan" and "inf",
# and the status texts' parenthesis, memory mark, format names and angle
# units. Everything else of the font (hinting, metrics, and the kerning
# table that SDL_ttf reads, which fontTools drops unless asked to keep it)
# is kept, so that every text comes out in the same pixels as from the whole
# font (tests/web proves it at every size the calculator opens).
set(TARNO_FONT_CHARACTERS " +-.(0123456789EMNSDRacdefgimnorx")

find_program(TARNO_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

# tarno_font_subset(FONT OUTPUT): a rule that writes the subset of FONT into OUTPUT.
function(tarno_font_subset font output)
  add_custom_command(OUTPUT "${output}"
    COMMAND "${TARNO_PYTHON3}" -m fontTools.subset "${font}" "--text=${TARNO_FONT_CHARACTERS}"
      --legacy-kern "--output-file=${output}"
    DEPENDS "${font}" "${PROJECT_SOURCE_DIR}/web/font_subset.cmake"
    COMMENT "The page's font: ${TARNO_FONT_CHARACTERS}"
    VERBATIM)
endfunction()
