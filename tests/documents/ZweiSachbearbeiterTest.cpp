// Two clerks on one office folder, each with his own home and runtime folder: clerk A works in project 1;
// clerk B starts in a process of his own, finds project 1 in use and chooses project 2 in the project
// dialog. A's invoice, project-data mask and register stay on project 1.
#include "DruckRegisterHost.h"
#include "core/Startup.h"
#include "documents/DruckAufrufRechnung.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektAuswahl.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/ProjektListe.h"
#include "register/BerAuswahl.h"
#include "register/ProgrammFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>

#include <sys/wait.h>
#include <unistd.h>

using namespace velu;
using velu::reg::BerAuswahl;

namespace {

class ZweiSachbearbeiter : public ProgrammFixture {
protected:
    void SetUp() override {
        ProgrammFixture::SetUp();
        outside::IniUmgebung ini(buero_ + "/umgebung.ini");
        ASSERT_TRUE(ini.SetPfad("VELUDATEN", Pfad("VELUDAT32.MDB")));
        outside::ProjektListe liste(buero_ + "/Projekte/");
        for (const auto& [nr, name, bauherr] :
             {std::array<QString, 3>{"1", "Projekt Eins", "Bauherr Eins"},
              std::array<QString, 3>{"2", "Projekt Zwei", "Bauherr Zwei"}}) {
            QString nummer = nr;
            ASSERT_TRUE(liste.ProjektAnlegen(nummer, name));
            ASSERT_TRUE(outside::SchreibeProdatFelder(
                Ordner(nummer) + "/Prodat", {{4, bauherr}, {5, "Hauptstraße " + nr}, {6, "12345 Ort"}}));
            ASSERT_TRUE(DatabaseSetup::CreateProjektDB(Fs(Ordner(nummer) + "/Velupro32.mdb")));
        }
        // Clerk A: his own settings are the fixture's store.
        App().SetUmgebung(App().NeueUmgebung(buero_));
        App().SetProgramme(nullptr);
        App().SetBenutzer("SUPERVISOR", 8191);
        App().SetPfade(QString::fromUtf8(VELU_BINARY_DIR) + "/data/reports/HOAI", {}, {});
        ASSERT_TRUE(App().Umgebung().SetAktProjekt("00000001", "Projekt Eins"));
        ASSERT_EQ(OpenProjektDB(), ProjektOeffnung::Offen);
        projekt_ = App().ProjektDBHandle();
    }
    void TearDown() override {
        documents::DruckAufrufHook() = nullptr;
        App().SetUmgebung(nullptr);
        App().SetProgramme(nullptr);
        App().SetPfade({}, {}, {});
        ProgrammFixture::TearDown();
    }
    QString Pfad(const std::string& name) const { return QString::fromStdString((dir_ / name).string()); }
    QString Ordner(const QString& nr) const { return buero_ + "/Projekte/" + nr + ".PRO"; }
    static std::filesystem::path Fs(const QString& p) { return p.toStdString(); }

    // Clerk B in a process of his own: the program's start on the office, whose project dialog he answers
    // with project 2. The exit status says whether B ended up working in project 2.
    int StarteB() {
        const pid_t kind = ::fork();
        if (kind != 0) {
            int status = -1;
            ::waitpid(kind, &status, 0);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
        }
        ::alarm(60);
        const QString heim = Pfad("heimB");
        QDir().mkpath(heim + "/laufzeit");
        // A's handles, copied into this process with its memory, are kept as they are.
        static auto haltA = std::make_pair(App().StammDBHandle(), App().ProjektDBHandle());
        App().Reset();
        App().SetEinstellungen(std::make_shared<settings::SettingsStore>(heim + "/.config/velunta.ini"));
        ModalDriver<outside::ProjektAuswahl> wahl([](outside::ProjektAuswahl& d) {
            auto* t = d.findChild<QTableWidget*>("Projekte");
            for (int r = 0; r < t->rowCount(); ++r)
                if (t->item(r, 0)->text() == "00000002") t->selectRow(r);
            d.findChild<QPushButton*>("Auswaehlen")->click();
        });
        StartOptionen opt;
        opt.bueroOrdner = buero_;
        opt.programmDaten = buero_ + "/gibtsnicht";
        opt.laufzeitOrdner = heim + "/laufzeit";
        std::unique_ptr<QLockFile> lock;
        const bool gestartet = Main(opt, lock) == StartErgebnis::Laeuft;
        const bool inZwei = App().Umgebung().AktProjekt().nummer == "00000002" &&
                            App().ProjektDBPfad() == Ordner("00000002") + "/Velupro32.mdb";
        ::_exit(!gestartet ? 1 : !wahl.Ran() ? 2 : !inZwei ? 3 : 0);
    }

    QString buero_ = Pfad("buero");
};

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).replace(QChar(0x00A0), QLatin1Char(' '));
}

} // namespace

TEST_F(ZweiSachbearbeiter, BsChoiceOfProjectLeavesAsInvoiceMaskAndRegisterOnAsProject) {
    Neu('R', "Honorarrechnung Kita", EUR);
    projekt_->Execute("UPDATE BeReList SET Modif = -1");
    ASSERT_EQ(StarteB(), 0) << "1: no start, 2: no project dialog, 3: B not in project 2";

    BerAuswahl w;
    w.Host().SetDrucken(std::make_unique<druckhost::TestDruck>());
    w.show();
    EXPECT_EQ(w.TreeView1()->topLevelItem(0)->text(0), "Projekt 00000001");

    const QString pdf = Pfad("rechnung.pdf");
    documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
        d.SetDruckDatei(pdf);
        QTimer::singleShot(0, &d, [&d] {
            d.ActiveBar1().Click("Band1", "PRINT");
            d.ActiveBar1().Click("Band1", "EXIT");
        });
    };
    ASSERT_TRUE(w.ActiveBar1().Click("PopupBand1", "PRINTRE"));
    EXPECT_TRUE(boxen_.Shown().empty()) << boxen_.LastText().toStdString();
    const QString text = PdfText(pdf);
    QStringList nummern, projekte, links;
    for (auto it = QRegularExpression("Projekt-Nr\\.:\\s+(\\S+)").globalMatch(text); it.hasNext();)
        nummern << it.next().captured(1);
    for (const QString& z : text.split('\n')) {
        if (z.trimmed().startsWith("Projekt:")) projekte << z.simplified();
        // The letter's window: the client's lines in the left column.
        links << z.trimmed().split(QRegularExpression("\\s{3,}")).front();
    }
    EXPECT_EQ(nummern, QStringList{"00000001"}) << text.toStdString();
    EXPECT_EQ(projekte, QStringList{"Projekt: 00000001 Projekt Eins"}) << text.toStdString();
    const qsizetype an = links.indexOf("Bauherr Eins");
    ASSERT_GE(an, 0) << text.toStdString();
    EXPECT_EQ(links.mid(an, 3), (QStringList{"Bauherr Eins", "Hauptstraße 1", "12345 Ort"}));
    EXPECT_FALSE(text.contains("Zwei")) << text.toStdString();

    QString gelesen;
    ModalDriver<outside::ProjektDatenMaske> maske([&](outside::ProjektDatenMaske& m) {
        gelesen = m.Feld(4)->text();
        m.Feld(4)->setText("Bauherr Eins GmbH");
        EXPECT_TRUE(m.Speichern());
        m.accept();
    });
    CallShowProdat();
    EXPECT_TRUE(maske.Ran());
    EXPECT_EQ(gelesen, "Bauherr Eins");
    EXPECT_EQ(outside::LeseProdatFeld(Ordner("00000001") + "/Prodat", 4), "Bauherr Eins GmbH");
    EXPECT_EQ(outside::LeseProdatFeld(Ordner("00000002") + "/Prodat", 4), "Bauherr Zwei");
}
