#pragma once
// Stand-in forms for windows that later versions bring: they show the form's caption and say so.
#include <QDialog>
#include <QWidget>

namespace velu {

inline const QString PlatzhalterText = QStringLiteral("Diese Funktion folgt in einer späteren Version.");

// A child window for the MDI area.
QWidget* PlatzhalterFenster(const QString& name, const QString& caption, QWidget* owner);
// A dialog with one "OK" button.
QDialog* PlatzhalterDialog(const QString& name, const QString& caption, QWidget* owner);

} // namespace velu
