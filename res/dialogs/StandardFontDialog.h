// Control ids of the StandardFontDialog dialog template(s).
#pragma once
