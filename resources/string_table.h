// The program's string table: messages, version data and web addresses by numeric id.
#pragma once

#include <QString>

#include "resource_ids.h"

// The string with that id; the empty text when the table has none.
QString loadString(int id);
