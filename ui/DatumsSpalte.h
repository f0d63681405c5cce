#pragma once
// The date column of a bound grid (payments, expense and hourly positions): shows a stored date as
// dd.MM.yyyy, takes a typed TT.MM.JJJJ, and refuses any other text with a message instead of putting a date
// of its own in its place. Empty stays empty.
#include "platform/forms/BoundGridModel.h"

#include <QString>
#include <string>

namespace velu {

forms::BoundColumn DatumsSpalte(std::string feld, QString caption);

} // namespace velu
