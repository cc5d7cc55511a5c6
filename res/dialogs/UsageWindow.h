// Control ids of the UsageWindow dialog template(s).
#pragma once
