// The master-data editors as the program opens them: registered with the main window's forms, over the
// process-wide state with a project list of its own.
#include "StammFixture.h"
#include "TestApp.h"
#include "core/AppState.h"
#include "core/MDIVelunta.h"
#include "masterdata/HOAITAFEL.h"
#include "masterdata/TafelStore.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektListe.h"
#include "platform/settings/SettingsStore.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

using namespace velu;
using namespace velu::masterdata;
using forms::MessageBoxScript;
using forms::MsgResult;

namespace {

class HauptfensterTest : public StammFixture {
public:
    void SetUp() override {
        testApp();
        StammFixture::SetUp();
        App().Reset();
        const QString ini = QString::fromStdString((dir_ / "umgebung.ini").string());
        umgebung_ = std::make_shared<outside::IniUmgebung>(ini);
        umgebung_->SetAktProjekt("00000001", "Erstes");
        App().SetUmgebung(umgebung_);
        App().SetEinstellungen(std::make_shared<settings::SettingsStore>(
            QString::fromStdString((dir_ / "velunta.ini").string())));
        App().SetStammDB(stamm_);
        App().SetBenutzer("SUPERVISOR", 8191);
        RegistriereStammdaten(App().Formen());
    }
    void TearDown() override { App().Reset(); }

    // A listed project whose one calculation's profile row links tafel.
    void Projekt(const QString& nummer, int64_t tafel) {
        outside::ProjektListe liste(umgebung_->ProjekteOrdner());
        ASSERT_TRUE(liste.Anlegen());
        ASSERT_TRUE(liste.Eintragen(nummer, "Projekt " + nummer));
        const QString ordner = outside::ProjektOrdnerVon(umgebung_->ProjekteOrdner(), nummer);
        std::filesystem::create_directories(ordner.toStdString());
        std::string error;
        auto db = DatabaseSetup::CreateProjektDB((ordner + "/Velupro32.mdb").toStdString(), &error);
        ASSERT_TRUE(db) << error;
        db->Execute("INSERT INTO BeReList (ReBezeichnung, REType) VALUES ('Angebot', 'A')");
        db->Execute(
            "INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, HoaiTafelZuordnung) VALUES (?, 1, ?)",
            db::Params().Add(db->LastInsertId()).Add(tafel));
    }

    std::shared_ptr<outside::IniUmgebung> umgebung_;
};

} // namespace

TEST_F(HauptfensterTest, EachToolOpensItsEditor) {
    MessageBoxScript boxen;
    MDIVelunta w;
    const struct {
        const char* tool;
        const char* form;
        const char* caption;
    } faelle[] = {
        {"HONORARANL", "HOAITAFEL", "HOAITAFEL"},
        {"LBANLAGE", "LBild", "Leistungsbilder"},
        {"GRUNDANL", "Grundleistung", "Grundleistung"},
        {"MITARBEITANL", "Mitarbeiter", "Mitarbeiter"},
    };
    for (const auto& f : faelle) {
        QString gesehen, titel;
        bool modal = false;
        QWidget* owner = nullptr;
        QTimer t;
        t.setInterval(5);
        QObject::connect(&t, &QTimer::timeout, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            t.stop();
            gesehen = d->objectName();
            titel = d->windowTitle();
            modal = d->isModal();
            owner = d->parentWidget();
            if (auto* bar = d->findChild<forms::ToolBand*>("ActiveBar1")) bar->Click("Band1", "EXIT");
            if (d->isVisible()) d->done(QDialog::Rejected);
        });
        t.start();
        ASSERT_TRUE(w.ActiveBar1().Click("PopupBand2", f.tool)) << f.tool;
        EXPECT_EQ(gesehen, f.form) << f.tool;
        EXPECT_EQ(titel, f.caption) << f.tool;
        EXPECT_TRUE(modal) << f.tool;
        EXPECT_EQ(owner, &w) << f.tool;
    }
    EXPECT_TRUE(boxen.Shown().empty());
}

TEST_F(HauptfensterTest, TableUsedByAListedProjectIsNotDeleted) {
    const int64_t kopie = std::get<int64_t>(TafelStore(*stamm_).CopyAufr(Tafel("35")));
    const int64_t frei = std::get<int64_t>(TafelStore(*stamm_).CopyAufr(Tafel("40")));
    Projekt("00000002", kopie);
    Projekt("00000003", 0);
    EXPECT_EQ(AppTafelVerwender(*stamm_, kopie),
              std::vector<std::string>{"Projekt 00000002: Berechnung Angebot"});
    EXPECT_TRUE(AppTafelVerwender(*stamm_, frei).empty());
    // Every delivered table is linked by its template.
    EXPECT_FALSE(AppTafelVerwender(*stamm_, Tafel("35")).empty());

    MessageBoxScript boxen({MsgResult::OK, MsgResult::Yes});
    HOAITAFEL f(*stamm_);
    f.MakeKonection(kopie);
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "DEL"));
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_TRUE(boxen.Shown()[0].text.startsWith("Diese Tafel wird noch verwendet"));
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(kopie)), 20);
    f.MakeKonection(frei);
    ASSERT_TRUE(f.ActiveBar1().Click("Band1", "DEL"));
    ASSERT_EQ(boxen.Shown().size(), 2u);
    EXPECT_EQ(boxen.Shown()[1].text, "Soll diese Tafel wirklich gelöscht werden");
    EXPECT_EQ(Zahl("SELECT Count(*) FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(frei)), 0);
}
