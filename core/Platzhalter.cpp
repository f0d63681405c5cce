#include "core/Platzhalter.h"

#include "core/FormRegistry.h"
#include "platform/help/Hilfe.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velu {

namespace {
QLabel* Text(const QString& caption, QWidget* parent) {
    auto* l = new QLabel("<h2>" + caption.toHtmlEscaped() + "</h2><p>" + PlatzhalterText + "</p>", parent);
    l->setObjectName("PlatzhalterText");
    l->setAlignment(Qt::AlignCenter);
    return l;
}
} // namespace

QWidget* PlatzhalterFenster(const QString& name, const QString& caption, QWidget* owner) {
    auto* w = new QWidget(owner);
    w->setObjectName(name);
    w->setWindowTitle(caption);
    auto* lay = new QVBoxLayout(w);
    lay->addWidget(Text(caption, w));
    help::InstallHelpKey(w, name);
    return w;
}

QDialog* PlatzhalterDialog(const QString& name, const QString& caption, QWidget* owner) {
    auto* d = new QDialog(owner);
    d->setObjectName(name);
    d->setWindowTitle(caption);
    auto* lay = new QVBoxLayout(d);
    lay->addWidget(Text(caption, d));
    auto* ok = new QPushButton("OK", d);
    ok->setObjectName("OK");
    QObject::connect(ok, &QPushButton::clicked, d, &QDialog::accept);
    lay->addWidget(ok, 0, Qt::AlignRight);
    d->resize(420, 180);
    help::InstallHelpKey(d, name);
    return d;
}

QString FormRegistry::Caption(const QString& name) {
    static const std::map<QString, QString> captions = {
        {"BerAuswahl", "Honorarberechnung"},      {"Aufwand", "Projektaufwand"},
        {"PrintFormKO", "Druckausgaben"},         {"LBild", "Leistungsbilder bearbeiten"},
        {"HOAITAFEL", "Honorartafel bearbeiten"}, {"Grundleistung", "Grundleistungen bearbeiten"},
        {"Mitarbeiter", "Mitarbeiter anlegen"},   {"Zugangsrechte", "Zugangsrechte"},
        {"DaSiOut", "Datensicherung erstellen"},  {"DaSiin", "Datensicherung zurücklesen"},
    };
    auto it = captions.find(name);
    return it == captions.end() ? name : it->second;
}

bool FormRegistry::IstKindfenster(const QString& name) {
    return name == "BerAuswahl" || name == "Aufwand";
}

QWidget* FormRegistry::Create(const QString& name, QWidget* owner) const {
    if (auto it = factories_.find(name); it != factories_.end() && it->second) return it->second(owner);
    if (IstKindfenster(name)) return PlatzhalterFenster(name, Caption(name), owner);
    return PlatzhalterDialog(name, Caption(name), owner);
}

} // namespace velu
