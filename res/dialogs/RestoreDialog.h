// Control ids of the RestoreDialog dialog template(s).
#pragma once
