#include "platform/outside/StandInProgramme.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/AdressMaske.h"
#include "platform/outside/DruckVorlagenEditor.h"
#include "platform/outside/ProjektAuswahl.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/SerienbriefFenster.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QSaveFile>
#include <QVBoxLayout>

namespace velu::outside {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;

QString ReorganisiereDatei(const QString& datei) {
    std::string err;
    auto db = db::Database::Open(std::filesystem::path(datei.toStdString()), db::OpenMode::Exclusive, &err);
    if (!db) return QString::fromStdString(err);
    try {
        auto rs = db->OpenRecordset("PRAGMA integrity_check");
        QStringList probleme;
        for (; !rs.EOF_(); rs.MoveNext()) {
            const QString zeile = QString::fromStdString(rs.GetText(rs.FieldNames().at(0)));
            if (zeile != "ok") probleme << zeile;
        }
        if (!probleme.isEmpty())
            return QStringLiteral("Die Datenbank ist beschädigt:\n") + probleme.mid(0, 5).join('\n');
        db->Execute("VACUUM");
    } catch (const db::DbError& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

namespace {

class Zentrix : public ProjektVerwaltung {
public:
    Zentrix(IniUmgebung& u, QWidget* owner, bool darfAnlegen)
        : u_(u), owner_(owner), darfAnlegen_(darfAnlegen) {}
    void SetPxEntry(int) override {}
    int ShowHoai(QString& nummer, const QString&, int, int, int& abbruch) override {
        ProjektAuswahl dlg(u_.ProjekteOrdner(), nummer, owner_, darfAnlegen_);
        if (dlg.exec() != QDialog::Accepted) return 0;
        const ProjektEintrag p = dlg.Gewaehlt();
        if (!u_.SetAktProjekt(p.nummer, p.name)) {
            MsgBox(owner_, "Das aktuelle Projekt konnte nicht gespeichert werden.", MsgButtons::OK,
                   MsgIcon::Critical);
            abbruch = 1;
            return 0;
        }
        return 1;
    }
    void ShowProdat(int) override {
        const ProjektInfo p = u_.AktProjekt();
        if (p.nummer.isEmpty()) {
            MsgBox(owner_, "Es ist kein Projekt ausgewählt.", MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        ProjektDatenMaske(u_.ProjektOrdner() + "/Prodat", p, owner_).exec();
    }

private:
    IniUmgebung& u_;
    QWidget* owner_;
    bool darfAnlegen_;
};

class Adressen : public AdressProgramm {
public:
    Adressen(IniUmgebung& u, QWidget* owner) : u_(u), owner_(owner) {}
    void SetPxEntry(int) override {}
    // "PROJEKTADRESS" opens on the current project, whose client the user can take from the book.
    void ShowAdressMask(const QString& maske, int, QStringList&, int&) override {
        QString fehler;
        auto buch = Adressbuch::Oeffnen(Adressbuch::Pfad(u_), &fehler);
        if (!buch) {
            MsgBox(owner_, "Das Adressbuch konnte nicht geöffnet werden.\n\n" + fehler, MsgButtons::OK,
                   MsgIcon::Critical, "Adressverwaltung");
            return;
        }
        std::optional<AdressMaske::Projekt> projekt;
        const ProjektInfo p = u_.AktProjekt();
        if (maske == "PROJEKTADRESS" && !p.nummer.isEmpty())
            projekt = AdressMaske::Projekt{p, u_.ProjektOrdner() + "/Prodat"};
        AdressMaske(*buch, projekt, owner_).exec();
    }

private:
    IniUmgebung& u_;
    QWidget* owner_;
};

class Serie : public SerienbriefProgramm {
public:
    Serie(IniUmgebung& u, QWidget* owner) : u_(u), owner_(owner) {}
    void SetPxEntry(int) override {}
    // The window lives until the user closes it; the caller waits for that.
    void showSerie(QWidget*& fenster) override {
        fenster = nullptr;
        QString fehler;
        auto briefe = Serienbriefe::Oeffnen(Serienbriefe::Pfad(u_), &fehler);
        auto adressen = briefe ? Adressbuch::Oeffnen(Adressbuch::Pfad(u_), &fehler) : nullptr;
        if (!adressen) {
            MsgBox(owner_, "Die Serienbriefe konnten nicht geöffnet werden.\n\n" + fehler, MsgButtons::OK,
                   MsgIcon::Critical, "Serienbriefe");
            return;
        }
        auto* w = new SerienbriefFenster(std::move(briefe), std::move(adressen), owner_);
        w->setAttribute(Qt::WA_DeleteOnClose);
        if (owner_) w->move(owner_->geometry().center() - w->rect().center());
        w->show();
        fenster = w;
    }

private:
    IniUmgebung& u_;
    QWidget* owner_;
};

class KopfUndFuss : public KopfUndFussProgramm {
public:
    KopfUndFuss(IniUmgebung& u, QWidget* owner) : u_(u), owner_(owner) {}
    void SetPxEntry(int) override {}
    void ShowKopfUndFuss(int) override {
        const QString pfad = u_.PfadVonEinstellung("VELUDATEN", QString());
        auto stamm = pfad.isEmpty() || !QFileInfo::exists(pfad)
                         ? nullptr
                         : db::Database::Open(std::filesystem::path(pfad.toStdString()));
        if (!stamm) {
            MsgBox(owner_, StammDBNichtGefunden, MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        DruckVorlagenEditor editor(*stamm, owner_);
        editor.Waehle(2);
        editor.exec();
    }

private:
    IniUmgebung& u_;
    QWidget* owner_;
};

class Reorg : public Reorganisation {
public:
    Reorg(std::vector<QString> dateien, QWidget* owner) : dateien_(std::move(dateien)), owner_(owner) {}
    void SetPxEntry(int) override {}
    void showREORGVELU() override {
        QProgressDialog fortschritt("Datenreorganisation ...", QString(), 0, int(dateien_.size()), owner_);
        fortschritt.setWindowTitle("Datenreorganisation");
        fortschritt.setWindowModality(Qt::ApplicationModal);
        fortschritt.setMinimumDuration(0);
        QStringList fehler;
        for (size_t i = 0; i < dateien_.size(); ++i) {
            fortschritt.setLabelText("Prüfe und komprimiere " + dateien_[i]);
            fortschritt.setValue(int(i));
            QApplication::processEvents();
            const QString f = ReorganisiereDatei(dateien_[i]);
            if (!f.isEmpty()) fehler << dateien_[i] + ":\n" + f;
        }
        fortschritt.setValue(int(dateien_.size()));
        if (fehler.isEmpty())
            MsgBox(owner_, "Die Datenreorganisation wurde erfolgreich beendet.", MsgButtons::OK,
                   MsgIcon::Information, "Datenreorganisation");
        else
            MsgBox(owner_, "Die Datenreorganisation ist fehlgeschlagen.\n\n" + fehler.join("\n\n"),
                   MsgButtons::OK, MsgIcon::Critical, "Datenreorganisation");
    }

private:
    std::vector<QString> dateien_;
    QWidget* owner_;
};

class About : public AboutBox {
public:
    explicit About(QWidget* owner) : owner_(owner) {}
    void SetPictureIn(const QPixmap& p) override { bild_ = p; }
    void SetPosLeft(int x) override { x_ = x; }
    void SetPosTop(int y) override { y_ = y; }
    void SetAppTitel(const QString& t) override { titel_ = t; }
    void SetVersion(const QString& v) override { version_ = v; }
    void SetProduktName(const QString& n) override { produkt_ = n; }
    void Action(int code) override {
        if (code != 17) return;
        QDialog dlg(owner_);
        dlg.setObjectName("AboutBox");
        dlg.setWindowTitle("Info über " + titel_);
        auto* lay = new QVBoxLayout(&dlg);
        if (!bild_.isNull()) {
            auto* logo = new QLabel(&dlg);
            logo->setPixmap(bild_);
            lay->addWidget(logo);
        }
        auto* name = new QLabel("<b>" + produkt_.toHtmlEscaped() + "</b>", &dlg);
        name->setObjectName("ProduktName");
        lay->addWidget(name);
        auto* titel = new QLabel(titel_, &dlg);
        lay->addWidget(titel);
        auto* version = new QLabel("Version " + version_, &dlg);
        version->setObjectName("Version");
        lay->addWidget(version);
        lay->addWidget(new QLabel("Honorarberechnung nach HOAI, in DM und Euro.", &dlg));
        auto* ok = new QDialogButtonBox(&dlg);
        ok->addButton("OK", QDialogButtonBox::AcceptRole);
        QObject::connect(ok, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        lay->addWidget(ok);
        if (x_ > 0 && y_ > 0) dlg.move(x_, y_);
        dlg.exec();
    }

private:
    QWidget* owner_;
    QPixmap bild_;
    int x_ = 0, y_ = 0;
    QString titel_, version_, produkt_;
};

} // namespace

std::unique_ptr<ProjektVerwaltung> StandInProgramme::CreateProjektVerwaltung() {
    return std::make_unique<Zentrix>(umgebung_, owner_, !darfAnlegen_ || darfAnlegen_());
}
std::unique_ptr<AdressProgramm> StandInProgramme::CreateAdressProgramm() {
    return std::make_unique<Adressen>(umgebung_, owner_);
}
std::unique_ptr<SerienbriefProgramm> StandInProgramme::CreateSerienbriefProgramm() {
    return std::make_unique<Serie>(umgebung_, owner_);
}
std::unique_ptr<KopfUndFussProgramm> StandInProgramme::CreateKopfUndFussProgramm() {
    return std::make_unique<KopfUndFuss>(umgebung_, owner_);
}
std::unique_ptr<Reorganisation> StandInProgramme::CreateReorganisation(const std::vector<QString>& dateien) {
    return std::make_unique<Reorg>(dateien, owner_);
}
std::unique_ptr<AboutBox> StandInProgramme::CreateAboutBox() {
    return std::make_unique<About>(owner_);
}

} // namespace velu::outside
