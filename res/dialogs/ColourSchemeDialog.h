// Control ids of the ColourSchemeDialog dialog template(s).
#pragma once
