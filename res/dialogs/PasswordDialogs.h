// Control ids of the PasswordDialogs dialog template(s).
#pragma once
