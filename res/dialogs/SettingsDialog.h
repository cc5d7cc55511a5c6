// Control ids of the SettingsDialog dialog template(s).
#pragma once
