// Control ids of the SearchWindow dialog template(s).
#pragma once
