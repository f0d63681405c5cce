#include "core/MDIVelunta.h"

#include "core/AppState.h"
#include "core/FormRegistry.h"
#include "core/MwSt.h"
#include "core/Splash.h"
#include "core/Startup.h"
#include "core/Version.h"
#include "core/Zugangsrechte.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/AussenProgramme.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace velu {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;
using forms::ToolBand;

namespace {
const QString MeldungFensterOffen =
    QStringLiteral("Bitte schließen Sie zuerst die Fenster der Honorarberechnung und des Projektaufwands.");

// Tools that work on the project database.
const char* const ProjektTools[] = {"CALCHONORAR", "PROAUF", "PRINT"};
} // namespace

MDIVelunta::MDIVelunta(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MDIVelunta");
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("MDIArea");
    mdi_->setBackground(QColor(0x80, 0x80, 0x80));
    setCentralWidget(mdi_);

    bar_ = new ToolBand(this, "ActiveBar1");
    bar_->AddBand("Band1", ToolBand::BandKind::ToolBar, "Velunta");
    // Some of the style's icons come only in a smaller size; scaled to the band's size, every caption sits
    // on one line.
    QStyle* st = style();
    const QSize groesse = bar_->ToolBar("Band1")->iconSize();
    auto icon = [st, groesse](QStyle::StandardPixmap p) {
        QPixmap bild = st->standardIcon(p).pixmap(groesse);
        if (bild.deviceIndependentSize().toSize() != groesse) {
            const qreal dpr = bild.devicePixelRatio();
            bild = bild.scaled(groesse * dpr, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            bild.setDevicePixelRatio(dpr);
        }
        return QIcon(bild);
    };
    bar_->AddTools({
        {"Band1",
         "ZENTRIX",
         "Projektverwaltung aufrufen",
         "Projektverwaltung",
         {},
         0,
         icon(QStyle::SP_DirOpenIcon)},
        {"Band1",
         "PRODAT",
         "Projektdaten bearbeiten",
         "Projektdaten",
         {},
         1,
         icon(QStyle::SP_FileDialogDetailedView)},
        {"Band1",
         "CALCHONORAR",
         "Honorarberechnung",
         "Honorarberechnung",
         {},
         2,
         icon(QStyle::SP_FileDialogContentsView)},
        {"Band1",
         "PROAUF",
         "Projektaufwand erfassen",
         "Projektaufwand",
         {},
         3,
         icon(QStyle::SP_FileDialogListView)},
        {"Band1", "PRINT", "Druckausgaben", "Druckausgaben", {}, 11, icon(QStyle::SP_DialogSaveButton)},
        {"Band1", "SERIE", "Textverarbeitung aufrufen", "Textverarbeitung", {}, 4, icon(QStyle::SP_FileIcon)},
        {"Band1", "ADRESS", "Adressverwaltung", "Adressverwaltung", {}, 4, icon(QStyle::SP_DirHomeIcon)},
        {"Band1", "SERVICE", "Dienstprogramme", "Dienstprogramme", "PopupBand1", -1,
         icon(QStyle::SP_ComputerIcon)},
        {"Band1", "HELP1", "Hilfe", "Hilfe", "PopupBand3", -1, icon(QStyle::SP_DialogHelpButton)},
        {"Band1",
         "EXIT",
         "Velunta verlassen",
         "Velunta verlassen",
         {},
         -1,
         icon(QStyle::SP_DialogCloseButton)},
    });
    bar_->AddBand("PopupBand1", ToolBand::BandKind::Popup, "Dienstprogramme");
    bar_->AddTools({
        {"PopupBand1", "DRVORLAG", "Druckvorlagen", "Druckvorlagen", {}, 5},
        {"PopupBand1", "OPTIONS", "Einstellungen", "Einstellungen", "PopupBand2"},
        {"PopupBand1", "SAVE", "Datensicherung", "Datensicherung", "PopupBand4", 6},
        {"PopupBand1", "REORG", "Datenreorganisation", "Datenreorganisation", {}, 6},
    });
    bar_->AddBand("PopupBand2", ToolBand::BandKind::Popup, "Einstellungen");
    bar_->AddTools({
        {"PopupBand2", "LBANLAGE", "Leistungsbilder bearbeiten", "Leistungsbilder bearbeiten", {}, 7},
        {"PopupBand2", "HONORARANL", "Honorartafel bearbeiten", "Honorartafel bearbeiten", {}, 8},
        // Bit 9 only changes the caption (SetRechte): every user may change their own password.
        {"PopupBand2", "ZUGANGANL", "Zugangsrechte bearbeiten", "Zugangsrechte bearbeiten"},
        {"PopupBand2", "GRUNDANL", "Grundleistungen bearbeiten", "Grundleistungen bearbeiten", {}, 10},
        {"PopupBand2", "MITARBEITANL", "Mitarbeiter anlegen", "Mitarbeiter anlegen", {}, 12},
        {"PopupBand2", "MWST", "Mehrwertsteuer einstellen", "Mehrwertsteuer einstellen"},
    });
    bar_->AddBand("PopupBand3", ToolBand::BandKind::Popup, "Hilfe");
    bar_->AddTools({
        {"PopupBand3", "HELP1", "Hilfeindex", "Hilfeindex"},
        {"PopupBand3", "ABOUT", "über Velunta 4.0", "über Velunta 4.0"},
    });
    bar_->AddBand("PopupBand4", ToolBand::BandKind::Popup, "Datensicherung");
    bar_->AddTools({
        {"PopupBand4", "MAKEDASI", "Datensicherung erstellen", "Datensicherung erstellen"},
        {"PopupBand4", "DASIBACK", "Datensicherung zurücklesen", "Datensicherung zurücklesen"},
    });
    bar_->SetHandler([this](const QString& key) { ToolDispatch(key); });
    connect(bar_, &ToolBand::ToolEnter, this, [this](const QString&, const QString& text) {
        if (BerAuswahlOffen > 0 && !berAuswahl_) BerAuswahlOffen = 0;
        panels_[0]->setText(text);
    });
    connect(bar_, &ToolBand::ToolLeave, this, [this] { panels_[0]->clear(); });

    auto* sb = new QStatusBar(this);
    sb->setObjectName("StatusBar1");
    setStatusBar(sb);
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(sb);
        panels_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panels_[i]->setMinimumWidth(i == 0 ? 260 : 90);
        if (i == 0)
            sb->addWidget(panels_[i], 1);
        else
            sb->addPermanentWidget(panels_[i]);
    }
    auto* uhr = new QTimer(this);
    auto zeit = [this] {
        panels_[3]->setText(QDate::currentDate().toString("dd.MM.yyyy"));
        panels_[4]->setText(QTime::currentTime().toString("HH:mm"));
    };
    connect(uhr, &QTimer::timeout, this, zeit);
    uhr->start(15000);
    zeit();

    // A child window closing gives the main band back.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        if (mdi_->subWindowList().isEmpty()) RefreshActiveBar(true);
    });

    App().SetHauptfenster(this);
    connect(&App(), &AppState::ProjektGewechselt, this, [this] {
        ZeigeProjekt();
        SetRechte();
    });

    ZeigeProjekt();
    setWindowTitle("Velunta 4.0");
    SetRechte();
    help::InstallHelpKey(this, "MDIVelunta");
    // The window keeps no position of its own: it opens maximised, and covers the screen's free area also
    // where no window manager maximises it.
    if (QScreen* schirm = QGuiApplication::primaryScreen())
        setGeometry(schirm->availableGeometry());
    else
        resize(1440, 800);
    setWindowState(windowState() | Qt::WindowMaximized);
}

MDIVelunta::~MDIVelunta() {
    if (App().Hauptfenster() == this) App().SetHauptfenster(nullptr);
}

QLabel* MDIVelunta::Panel(int i) const {
    return i >= 1 && i <= 5 ? panels_[i - 1] : nullptr;
}

void MDIVelunta::ZeigeProjekt() {
    const outside::ProjektInfo p = App().Umgebung().AktProjekt();
    panels_[1]->setText(p.nummer);
    panels_[2]->setText(p.name);
}

void MDIVelunta::SetRechte() {
    const uint32_t rechte = static_cast<uint32_t>(App().AktRechte());
    bar_->ApplyRights(rechte);
    bar_->SetCaption("PopupBand2", "ZUGANGANL",
                     (rechte & (1u << 9)) ? "Zugangsrechte bearbeiten" : "Passwort ändern");
    if (!App().ProjektDB())
        for (const char* key : ProjektTools)
            bar_->SetEnabled("Band1", key, false);
}

void MDIVelunta::RefreshActiveBar(bool an) {
    bar_->SetBandVisible("Band1", an);
}

void RefreshActiveBar(bool an) {
    if (auto* w = qobject_cast<MDIVelunta*>(App().Hauptfenster())) w->RefreshActiveBar(an);
}

void MDIVelunta::ToolDispatch(const QString& key) {
    if (key == "ABOUT") {
        ShowAbout();
    } else if (key == "ADRESS") {
        AdressCall();
    } else if (key == "MAKEDASI") {
        ShowMakeDaSi(0);
    } else if (key == "DASIBACK") {
        ShowMakeDaSi(1);
    } else if (key == "REORG") {
        ShowReorg();
    } else if (key == "CALCHONORAR") {
        ZeigeKindfenster("BerAuswahl");
    } else if (key == "ZENTRIX") {
        bool gewechselt = false;
        CallShowHoai(gewechselt);
    } else if (key == "DRVORLAG") {
        CallKopfUFuss();
    } else if (key == "PRODAT") {
        CallShowProdat();
    } else if (key == "PROAUF") {
        ZeigeKindfenster("Aufwand");
    } else if (key == "MWST") {
        ZeigeDialog("MwSt");
    } else if (key == "PRINT") {
        ZeigeDialog("PrintFormKO");
    } else if (key == "LBANLAGE") {
        QApplication::processEvents();
        ZeigeDialog("LBild");
    } else if (key == "HONORARANL") {
        ZeigeDialog("HOAITAFEL");
    } else if (key == "ZUGANGANL") {
        ZeigeDialog("Zugangsrechte");
    } else if (key == "GRUNDANL") {
        ZeigeDialog("Grundleistung");
    } else if (key == "MITARBEITANL") {
        ZeigeDialog("Mitarbeiter");
    } else if (key == "SERIE") {
        SerieShow();
    } else if (key == "HELP1") {
        help::ShowHilfe(QString());
    } else if (key == "EXIT") {
        close();
    }
}

void MDIVelunta::ZeigeKindfenster(const QString& name) {
    QPointer<QMdiSubWindow>& slot = name == "BerAuswahl" ? berAuswahl_ : aufwand_;
    if (!App().ProjektDB()) return; // the tool is disabled then; a stray call does nothing
    if (slot) {
        mdi_->setActiveSubWindow(slot);
        return;
    }
    if (name == "Aufwand") RefreshActiveBar(false);
    QWidget* w = App().Formen().Create(name, nullptr);
    w->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(name + "Fenster");
    slot = sub;
    connect(sub, &QObject::destroyed, this, [this, name] {
        if (name == "BerAuswahl") BerAuswahlOffen = 0;
        QTimer::singleShot(0, this, [this] {
            if (mdi_->subWindowList().isEmpty()) RefreshActiveBar(true);
        });
    });
    sub->showMaximized();
    if (name == "BerAuswahl") {
        RefreshActiveBar(false);
        BerAuswahlOffen = 1;
    }
}

void MDIVelunta::ZeigeDialog(const QString& name) {
    QWidget* w;
    if (name == "MwSt" && !App().Formen().Has(name))
        w = new MwSt(nullptr); // shown without owner
    else if (name == "Zugangsrechte" && !App().Formen().Has(name) && App().StammDB())
        w = new Zugangsrechte(*App().StammDB(), App().AktBenutzer(), App().AktRechte(), this);
    else
        w = App().Formen().Create(name, this);
    if (name == "PrintFormKO") forms::LoadWindowPos(*w, App().Einstellungen());
    if (auto* d = qobject_cast<QDialog*>(w))
        d->exec();
    else
        WarteAuf(w);
    delete w;
}

bool MDIVelunta::KindfensterOffen() {
    if (mdi_->subWindowList().isEmpty()) return false;
    MsgBox(this, MeldungFensterOffen, MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

void MDIVelunta::Sperren(bool gesperrt) {
    // Only this window's own bars: a dialog it owns (backup, restore) keeps its tools.
    for (QToolBar* tb : findChildren<QToolBar*>())
        if (tb->window() == this) tb->setEnabled(!gesperrt);
    mdi_->setEnabled(!gesperrt);
}

void MDIVelunta::WarteAuf(QWidget* w) {
    if (!w) return;
    QPointer<QWidget> p = w;
    QEventLoop loop;
    connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    auto* d = qobject_cast<QDialog*>(w);
    if (d) connect(d, &QDialog::finished, &loop, &QEventLoop::quit);
    if (!w->isVisible()) w->show();
    while (p && p->isVisible())
        loop.exec();
    // A dialog that hides instead of closing is released here.
    if (p && p->testAttribute(Qt::WA_DeleteOnClose)) p->deleteLater();
}

void MDIVelunta::OeffneNachSicherung() {
    if (!OpenStammDB()) {
        exitCode_ = 1;
        close();
        return;
    }
    bool gesperrt = false;
    OpenProjektDB(gesperrt);
    if (gesperrt) {
        bool gewechselt = false;
        CallShowHoai(gewechselt);
    }
    SetRechte();
}

void MDIVelunta::ShowMakeDaSi(int modus) {
    if (KindfensterOffen()) return;
    App().CloseDatabases();
    SetRechte();
    QWidget* w = nullptr;
    if (modus == 0 || modus == 1) {
        w = App().Formen().Create(modus == 0 ? "DaSiOut" : "DaSiin", this);
        w->setAttribute(Qt::WA_DeleteOnClose);
        if (auto* d = qobject_cast<QDialog*>(w)) d->setModal(false);
        w->show();
    }
    Sperren(true);
    WarteAuf(w);
    Sperren(false);
    OeffneNachSicherung();
}

void MDIVelunta::ShowReorg() {
    if (KindfensterOffen()) return;
    std::vector<QString> dateien;
    if (!App().ProjektDBPfad().isEmpty()) dateien.push_back(App().ProjektDBPfad());
    dateien.push_back(App().StammDBPfad());
    App().CloseDatabases();
    SetRechte();
    if (auto prog = App().Programme().CreateReorganisation(dateien)) {
        prog->SetPxEntry(51);
        Sperren(true);
        prog->showREORGVELU();
        Sperren(false);
    }
    bool gesperrt = false;
    OpenProjektDB(gesperrt);
    if (!OpenStammDB()) {
        exitCode_ = 1;
        close();
        return;
    }
    SetRechte();
}

void MDIVelunta::SerieShow() {
    auto prog = App().Programme().CreateSerienbriefProgramm();
    if (!prog) {
        MsgBox(this, "Das Serienbriefprogramm ist nicht verfügbar.", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    prog->SetPxEntry(51);
    QWidget* fenster = nullptr;
    prog->showSerie(fenster);
    Sperren(true);
    WarteAuf(fenster);
    Sperren(false);
}

void MDIVelunta::AdressCall() {
    auto prog = App().Programme().CreateAdressProgramm();
    if (!prog) {
        MsgBox(this, "Die Adressverwaltung ist nicht verfügbar.", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    prog->SetPxEntry(51);
    QStringList feld{QString()};
    int h = 0;
    prog->ShowAdressMask("PROJEKTADRESS", 0, feld, h);
}

void MDIVelunta::CallKopfUFuss() {
    if (auto prog = App().Programme().CreateKopfUndFussProgramm()) {
        prog->SetPxEntry(51);
        prog->ShowKopfUndFuss(1);
    }
}

void MDIVelunta::ShowAbout() {
    auto box = App().Programme().CreateAboutBox();
    if (!box) {
        // 429: the component cannot be created.
        MsgBox(this, "AbourScreen nicht verfügbar \nKomponente nicht vorhanden\n429", MsgButtons::OK,
               MsgIcon::None, windowTitle());
        return;
    }
    box->SetPictureIn(VeluntaLogo());
    box->SetPosLeft(geometry().left() + 40); // 600 twips
    box->SetPosTop(geometry().top() + 40);
    box->SetAppTitel("Velunta 4.0 win");
    box->SetVersion(QStringLiteral("%1.%2%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision));
    box->SetProduktName(QString::fromUtf8(ProduktName));
    box->Action(17);
}

void MDIVelunta::closeEvent(QCloseEvent* e) {
    // Each child window commits its edits when it closes; one that refuses keeps the program running.
    ToolBand::CommitFocusedEdit();
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (!sub->close()) {
            e->ignore();
            return;
        }
    }
    QApplication::processEvents();
    if (!mdi_->subWindowList().isEmpty()) {
        e->ignore();
        return;
    }
    RefreshActiveBar(false);
    help::CloseHandbuch();
    e->accept();
    emit Beendet(exitCode_);
}

} // namespace velu
