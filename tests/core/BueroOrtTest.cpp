// The office folder wherever it lies: set up by a first start, then copied and moved, or written by an older
// version with absolute paths into itself and then moved.
#include "StartupFakes.h"

#include "core/Startup.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/ProjektListe.h"
#include "platform/settings/SettingsStore.h"

#include <QFile>
#include <QLockFile>
#include <QSettings>

#include <filesystem>
#include <set>

using namespace testing_velu;
using velu::App;

namespace {

struct Buerowelt {
    QTemporaryDir tmp;
    QString daten = tmp.path() + "/programm/data";

    Buerowelt() {
        app();
        QDir().mkpath(daten);
        MachStammDB(daten + "/VELUDAT32.MDB", 0, 0, 8191);
        MachLeereDB(daten + "/VELUVOR32.MDB", "Vorlage");
    }
    ~Buerowelt() { App().Reset(); }

    // A start of the program on the office in buero; "" when it runs without a message, else what it said.
    std::string Start(const QString& buero) {
        App().Reset();
        App().SetEinstellungen(std::make_shared<velu::settings::SettingsStore>(tmp.path() + "/heim.ini"));
        velu::StartOptionen opt;
        opt.bueroOrdner = buero;
        opt.programmDaten = daten;
        opt.laufzeitOrdner = tmp.path();
        std::unique_ptr<QLockFile> lock;
        velu::forms::MessageBoxScript script;
        if (velu::Main(opt, lock) != velu::StartErgebnis::Laeuft)
            return "kein Start: " + script.LastText().toStdString();
        return script.LastText().toStdString();
    }
    // A first start on buero, the program ended again; false when it did not run without a message.
    bool Eingerichtet(const QString& buero) {
        const bool ok = Start(buero).empty();
        App().Reset();
        return ok;
    }
    // Marks the open databases, so a test can tell which office's files a start wrote.
    static void Markiere(const std::string& wer) {
        for (velu::db::Database* db : {App().StammDB(), App().ProjektDB()})
            db->Execute(
                "INSERT INTO _Meta (Key, Value) VALUES (?, ?)",
                velu::db::Params().Add(velu::db::Value("Geschrieben " + wer)).Add(velu::db::Value(wer)));
    }
    static std::set<std::string> Marken(const QString& datei) {
        std::set<std::string> out;
        auto db = velu::db::Database::Open(Fs(datei));
        auto rs = db->OpenRecordset("SELECT Value FROM _Meta WHERE Key LIKE 'Geschrieben %'");
        for (; !rs.EOF_(); rs.MoveNext())
            out.insert(rs.GetText("Value"));
        return out;
    }
    static QStringList Projekte(const QString& buero) {
        QStringList out;
        const auto liste = velu::outside::ProjektListe(buero + "/Projekte/").Liste();
        for (const auto& e : liste.value_or(std::vector<velu::outside::ProjektEintrag>{}))
            out << e.nummer;
        return out;
    }
};

void Kopiere(const QString& von, const QString& nach) {
    std::filesystem::copy(Fs(von), Fs(nach), std::filesystem::copy_options::recursive);
}

} // namespace

TEST(BueroOrt, ACopiedOrMovedOfficeWorksOnItsOwnDatabases) {
    Buerowelt w;
    const QString original = w.tmp.path() + "/original", kopie = w.tmp.path() + "/kopie",
                  verschoben = w.tmp.path() + "/platte2/buero";
    ASSERT_TRUE(w.Eingerichtet(original));
    QFile ini(original + "/umgebung.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains(original.toUtf8())) << "no path of the office in its own settings";
    Kopiere(original, kopie);

    ASSERT_EQ(w.Start(kopie), "");
    EXPECT_EQ(App().StammDBPfad(), kopie + "/STD_SYS/VELUDAT32.MDB");
    EXPECT_EQ(App().ProjektDBPfad(), kopie + "/Projekte/00000001.PRO/Velupro32.mdb");
    Buerowelt::Markiere("Kopie");
    QString nr = "2";
    ASSERT_TRUE(
        velu::outside::ProjektListe(App().Umgebung().ProjekteOrdner()).ProjektAnlegen(nr, "Nur Kopie"));
    ASSERT_EQ(w.Start(original), "");
    Buerowelt::Markiere("Original");
    App().Reset();

    QDir().mkpath(w.tmp.path() + "/platte2");
    ASSERT_TRUE(QDir().rename(original, verschoben));
    ASSERT_EQ(w.Start(verschoben), "");
    EXPECT_EQ(App().ProjektDBPfad(), verschoben + "/Projekte/00000001.PRO/Velupro32.mdb");
    App().Reset();

    for (const auto& [buero, marke] :
         {std::pair{kopie, std::string("Kopie")}, std::pair{verschoben, std::string("Original")}}) {
        SCOPED_TRACE(buero.toStdString());
        const std::set<std::string> soll{marke};
        EXPECT_EQ(Buerowelt::Marken(buero + "/STD_SYS/VELUDAT32.MDB"), soll);
        EXPECT_EQ(Buerowelt::Marken(buero + "/Projekte/00000001.PRO/Velupro32.mdb"), soll);
    }
    EXPECT_EQ(Buerowelt::Projekte(kopie), (QStringList{"00000001", "00000002"}));
    EXPECT_EQ(Buerowelt::Projekte(verschoben), QStringList{"00000001"});
}

// An office an older version set up names itself by absolute paths; its address book was put outside.
TEST(BueroOrt, AnOfficeWithAbsolutePathsIntoItselfStillStartsAfterAMove) {
    Buerowelt w;
    const QString alt = w.tmp.path() + "/alt", neu = w.tmp.path() + "/neu",
                  adressen = w.tmp.path() + "/Adressen/ZADRESS32.MDB";
    ASSERT_TRUE(w.Eingerichtet(alt));
    {
        QSettings s(alt + "/umgebung.ini", QSettings::IniFormat);
        s.clear();
        s.setValue("Umgebung/ProjekteOrdner", alt + "/Projekte/");
        s.setValue("Umgebung/AktProjekt", "00000001");
        s.setValue("Umgebung/AktProjektName", "Demoprojekt");
        for (const char* n :
             {"VELUDATEN/VELUDAT32.MDB", "VELUVORLAGE/VELUVOR32.MDB", "STDBRIEF/SERIENBRIEFE.MDB"}) {
            const QStringList t = QString(n).split('/');
            s.setValue("Pfade/" + t[0], alt + "/STD_SYS/" + t[1]);
        }
        s.setValue("Pfade/ADRESSMDB", adressen);
    }
    ASSERT_TRUE(QDir().rename(alt, neu));
    ASSERT_EQ(w.Start(neu), "");
    EXPECT_EQ(App().StammDBPfad(), neu + "/STD_SYS/VELUDAT32.MDB");
    EXPECT_EQ(App().ProjektDBPfad(), neu + "/Projekte/00000001.PRO/Velupro32.mdb");
    EXPECT_EQ(App().Umgebung().PfadVonEinstellung("VELUVORLAGE", ""), neu + "/STD_SYS/VELUVOR32.MDB");
    EXPECT_EQ(App().Umgebung().PfadVonEinstellung("ADRESSMDB", ""), adressen);
}
