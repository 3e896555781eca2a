#error "The calculator engine does not draw, play or read devices: keep SDL out of engine/."
