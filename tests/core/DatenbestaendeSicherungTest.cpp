// The data sets "Serienbriefe" and "Adressen": the files the serial-letter and address programs create are
// backed up through the backup dialog and come back through the restore dialog byte for byte (every page of
// the database; see Bytes), at the paths the settings name.
#include "DaSiFixture.h"

#include "core/DaSiOut.h"
#include "core/DaSiin.h"
#include "platform/archive/ZipArchive.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/outside/Adressbuch.h"
#include "platform/outside/Serienbriefe.h"

#include <QFile>
#include <QRadioButton>

using namespace dasi_test;
using velu::forms::MessageBoxScript;
using velu::forms::MsgResult;
namespace outside = velu::outside;

namespace {

// The file's bytes, but for the counters in the SQLite header that count writes to the file itself (the file
// change counter at 24, the schema cookie at 40, the version at 92): the backup takes its snapshot through
// SQLite, which counts that write in the copy. Every other byte, every page, must match.
QByteArray Bytes(const fs::path& p) {
    QFile f(QString::fromStdString(p.string()));
    QByteArray b = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (b.size() >= 100)
        for (int zaehler : {24, 40, 92})
            b.replace(zaehler, 4, QByteArray(4, '\0'));
    return b;
}

class DatenbestandTest : public DaSiTest {};

TEST_F(DatenbestandTest, LettersAndAddressesComeBackByteForByteThroughTheDialogs) {
    const fs::path briefDatei = root / "briefe/SERIENBRIEFE.MDB";
    const fs::path adressDatei = root / "adressen/ZADRESS32.MDB";
    u.pfade["STDBRIEF"] = QString::fromStdString(briefDatei.string());
    u.pfade["ADRESSMDB"] = QString::fromStdString(adressDatei.string());
    struct Fall {
        int nummer;
        fs::path datei;
        std::string deskriptor;
        std::function<void()> schreiben; // one more letter or address each time
        std::function<int()> anzahl;
    };
    const Fall faelle[] = {
        {4, briefDatei, "SERIENBRIEFE",
         [&] {
             auto b = outside::Serienbriefe::Oeffnen(QString::fromStdString(briefDatei.string()));
             ASSERT_TRUE(b);
             ASSERT_GT(b->Neu("Einladung"), 0);
         },
         [&] { return int(outside::Serienbriefe::Oeffnen(QString::fromStdString(briefDatei.string()))
                              ->Briefe()
                              .size()); }},
        {5, adressDatei, "ADRESSEN",
         [&] {
             auto b = outside::Adressbuch::Oeffnen(QString::fromStdString(adressDatei.string()));
             ASSERT_TRUE(b);
             outside::Adresse a;
             a.name = QString::fromUtf8("Gemeinde Müllheim");
             ASSERT_TRUE(b->Speichern(a));
         },
         [&] { return int(outside::Adressbuch::Oeffnen(QString::fromStdString(adressDatei.string()))
                              ->Suche({})
                              .size()); }},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.deskriptor);
        f.schreiben();
        const QByteArray gesichert = Bytes(f.datei);
        ASSERT_FALSE(gesichert.isEmpty());
        {
            velu::DaSiOut aus(u, Sys());
            aus.SetDateiDialog([](QWidget*, int) -> QString { return {}; });
            aus.findChild<QRadioButton*>(QString("Option1_%1").arg(f.nummer - 1))->setChecked(true);
            MessageBoxScript script;
            aus.Band().Click("OK");
            ASSERT_TRUE(fs::exists(Vorgabe())) << script.LastText().toStdString();
            EXPECT_EQ(velu::archive::ReadInfo(Vorgabe().string())->descriptor, f.deskriptor);
        }
        f.schreiben();
        ASSERT_EQ(f.anzahl(), 2);
        ASSERT_NE(Bytes(f.datei), gesichert);

        velu::DaSiin ein(u, Sys());
        ein.SetDateiDialog([](QWidget*, int) -> QString { return {}; });
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        ein.Band().Click("OK");
        ASSERT_FALSE(script.Shown().empty());
        EXPECT_TRUE(script.Shown()[0].text.startsWith("Sie wollen die ")) << script.Shown()[0].text.toStdString();
        EXPECT_EQ(Bytes(f.datei), gesichert) << script.LastText().toStdString();
        EXPECT_EQ(f.anzahl(), 1);
        fs::remove(Vorgabe());
    }
}

} // namespace
