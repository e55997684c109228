#pragma once

#include <QString>

namespace kestrova {

// The UI text lookup: every caption, message, status text and tooltip passes through here as its
// English text. Translations are Qt .qm files ("kestrova_<language>.qm" in the data folder), loaded
// once on first use; without one the English text comes back unchanged.
QString Translate(const QString& text, int context = 0);

}  // namespace kestrova
