// Control ids of the AboutBox dialog template(s).
#pragma once
