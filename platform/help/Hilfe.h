#pragma once
// The program's help: HTML pages compiled into the resources (":/help/<topic>.html", start page
// "index.html"), shown in one viewer window captioned "Velunta 4.0 Handbuch".
#include <QString>

class QWidget;
class QTextBrowser;

namespace velu::help {

// Opens the help at topic (empty: the start page; a topic without a page: the start page too). A viewer that
// is already open is only brought to the front; the topic is then not applied.
void ShowHilfe(const QString& topic);
// Closes the help viewer if one is open.
void CloseHandbuch();
// The open viewer, nullptr when none is open (tests look at its page).
QTextBrowser* Handbuch();
// Whether a page exists for topic.
bool HatThema(const QString& topic);
// F1 on form opens the help at topic.
void InstallHelpKey(QWidget* form, const QString& topic);

inline constexpr const char* HandbuchCaption = "Velunta 4.0 Handbuch";

} // namespace velu::help
