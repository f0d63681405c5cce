// Serial letters: the letters' file, the merge with addresses read back from the PDF page by page, refused
// merges, and the window as the clerk uses it (new letter in the template editor, recipients ticked across
// searches, the document in the page view).
#include "TestApp.h"
#include "TestDir.h"
#include "platform/db/Recordset.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/outside/DruckVorlagenEditor.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/SerienbriefFenster.h"
#include "platform/outside/StandInProgramme.h"
#include "platform/richtext/PdfWorte.h"
#include "platform/richtext/ScribantView.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu::outside;
using velu::forms::MessageBoxScript;
using velu::forms::MsgResult;
using velu::richtext::ScribantPro;

namespace {

QString Pfad(const TestDir& d, const std::string& name) {
    return QString::fromStdString((d / name).string());
}

// The non-empty lines of one page, trimmed.
QStringList Seite(const QString& pdf, int seite) {
    QProcess p;
    p.start("pdftotext", {"-layout", "-f", QString::number(seite), "-l", QString::number(seite), pdf, "-"});
    p.waitForFinished(30000);
    QStringList out;
    for (const QString& z : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (!z.trimmed().isEmpty()) out << z.trimmed();
    return out;
}

bool HatPdftotext() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

Adresse A(const char* name, const char* zusatz, const char* strasse, const char* plz, const char* ort) {
    Adresse a;
    a.name = QString::fromUtf8(name);
    a.zusatz = QString::fromUtf8(zusatz);
    a.strasse = QString::fromUtf8(strasse);
    a.plz = plz;
    a.ort = QString::fromUtf8(ort);
    return a;
}

const Adresse Drei[] = {
    A("Gemeinde Musterhausen", "Bauamt", "Rathausplatz 1", "12345", "Musterhausen"),
    A("Stadt Neustadt", "", "Markt 1", "54321", "Neustadt"),
    A("Wohnbau Süd GmbH", "z. Hd. Frau Dr. Özlem Krüger-O'Hara", "Südring 4", "80331", "München")};

// The salutation each of Drei gets: an office, an address without addition, a person named in the addition
// (by title and surname).
const char* const DreiAnreden[] = {"Sehr geehrte Damen und Herren,", "Sehr geehrte Damen und Herren,",
                                   "Sehr geehrte Frau Dr. Krüger-O'Hara,"};

// Each address on its own page: its block lines one under the other in the left column (the date stands
// beside the window), the letter's salutation, no other recipient's name.
void PruefeSeiten(const QString& pdf, const std::vector<Adresse>& an, const QString& datum) {
    for (size_t k = 0; k < an.size(); ++k) {
        const QStringList z = Seite(pdf, int(k + 1));
        QStringList links;
        for (const QString& zeile : z)
            links << zeile.split(QRegularExpression("\\s{3,}")).front();
        const Adresse& a = an[k];
        QStringList block{a.name};
        if (!a.zusatz.isEmpty()) block << a.zusatz;
        block << a.strasse << a.PlzOrt();
        const qsizetype i = links.indexOf(a.name);
        ASSERT_GE(i, 0) << "page " << k + 1 << ":\n" << z.join('\n').toStdString();
        EXPECT_EQ(links.mid(i, block.size()), block) << "page " << k + 1;
        EXPECT_TRUE(z.join('\n').contains("Datum: " + datum)) << z.join('\n').toStdString();
        EXPECT_TRUE(z.contains(QString::fromUtf8(DreiAnreden[k]))) << "page " << k + 1 << ":\n"
                                                                   << z.join('\n').toStdString();
        for (size_t j = 0; j < an.size(); ++j)
            if (j != k) EXPECT_FALSE(z.join('\n').contains(an[j].name)) << "page " << k + 1;
    }
    EXPECT_TRUE(Seite(pdf, int(an.size()) + 1).isEmpty()) << "no page beyond the last letter";
}

// A new letter is in the delivered letter layout: on every page the office's head, the sender line above
// the address and the footer; the address inside the window of a form B envelope (45-90 mm from the top,
// at least 20 mm from the left edge) and the date at the same height whatever the address's length.
void PruefeBriefbogen(const QString& pdf, const std::vector<Adresse>& an, const QString& datum) {
    std::optional<double> datumOben;
    for (size_t k = 0; k < an.size(); ++k) {
        SCOPED_TRACE(k + 1);
        const QList<PdfWort> w = PdfWorte(pdf, int(k + 1));
        for (const char* kopf : {"Architektur- und Ingenieurbüro Muster", "Steuernummer 000/000/00000",
                                 "IBAN DE00 0000 0000 0000 0000 00"})
            EXPECT_TRUE(PdfZeile(w, QString::fromUtf8(kopf))) << kopf;
        const auto absender = PdfZeile(w, QString::fromUtf8("Ingenieurbüro Muster · Musterstraße 1"));
        ASSERT_TRUE(absender);
        QStringList zeilen{an[k].name};
        if (!an[k].zusatz.isEmpty()) zeilen << an[k].zusatz;
        zeilen << an[k].strasse << an[k].PlzOrt();
        double oben = absender->unten;
        for (const QString& z : zeilen) {
            const auto box = PdfZeile(w, z);
            ASSERT_TRUE(box) << z.toStdString();
            EXPECT_GE(box->oben, oben) << z.toStdString();
            oben = box->unten;
        }
        for (const auto& box : {*absender, *PdfZeile(w, zeilen.back())}) {
            EXPECT_GE(box.oben, 45.0) << box.text.toStdString();
            EXPECT_LE(box.unten, 90.0) << box.text.toStdString();
            EXPECT_GE(box.links, 20.0) << box.text.toStdString();
        }
        const auto d = PdfZeile(w, "Datum: " + datum);
        ASSERT_TRUE(d);
        if (datumOben) EXPECT_NEAR(d->oben, *datumOben, 0.1);
        datumOben = d->oben;
    }
}

TEST(Serienbriefe, ThreeAddressesGiveThreeLettersOnTheLetterheadEachWithItsAddress) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    testApp();
    TestDir dir;
    auto briefe = Serienbriefe::Oeffnen(Pfad(dir, "SERIENBRIEFE.MDB"));
    ASSERT_TRUE(briefe);
    const int64_t lfnr = briefe->Neu("Einladung");
    ASSERT_GT(lfnr, 0);
    ASSERT_EQ(briefe->Briefe().size(), 1u);
    EXPECT_EQ(briefe->Briefe()[0].name, "Einladung");
    ScribantPro doc;
    QString fehler;
    const std::vector<Adresse> an(std::begin(Drei), std::end(Drei));
    ASSERT_TRUE(briefe->Erstelle(lfnr, an, "09.12.2026", doc, &fehler)) << fehler.toStdString();
    EXPECT_EQ(doc.Repaginate(), 3);
    const QString pdf = Pfad(dir, "serie.pdf");
    ASSERT_TRUE(doc.SavePdf(pdf));
    PruefeSeiten(pdf, an, "09.12.2026");
    PruefeBriefbogen(pdf, an, "09.12.2026");
}

// The salutation greets the person the addition (or else the name) names, an office as a whole.
TEST(Serienbriefe, TheSalutationGreetsThePersonTheAddressNames) {
    struct Fall {
        const char *name, *zusatz, *anrede;
    } faelle[] = {
        {"Stadt Neustadt", "Herrn Dr. Meier", "Sehr geehrter Herr Dr. Meier,"},
        {"Stadt Neustadt", "Herr Prof. Dr. Klaus", "Sehr geehrter Herr Prof. Dr. Klaus,"},
        {"Wohnbau Süd GmbH", "z. Hd. Frau Öztürk", "Sehr geehrte Frau Öztürk,"},
        {"Wohnbau Süd GmbH", "zu Händen von  Herrn  Weiß", "Sehr geehrter Herr Weiß,"},
        // Titles and surname, not the given names.
        {"Frau Anna Schulz", "", "Sehr geehrte Frau Schulz,"},
        {"Stadt Neustadt", "Frau Dr. Özlem Krüger-O'Hara", "Sehr geehrte Frau Dr. Krüger-O'Hara,"},
        {"Wohnbau Süd GmbH", "z. Hd. Herrn Prof. Dr.-Ing. Karl Heinz Weber",
         "Sehr geehrter Herr Prof. Dr.-Ing. Weber,"},
        {"Herrn Karl-Theodor von und zu Guttenberg", "", "Sehr geehrter Herr von und zu Guttenberg,"},
        {"Frau Dr. med.  Lena Brandt", "", "Sehr geehrte Frau Dr. med. Brandt,"},
        {"Gemeinde Musterhausen", "Bauamt", "Sehr geehrte Damen und Herren,"},
        {"Stadt Neustadt", "", "Sehr geehrte Damen und Herren,"},
        // A word that only starts like a title is no person.
        {"Frauenhofer Institut", "Herrenberg", "Sehr geehrte Damen und Herren,"},
        {"Frau", "Herr", "Sehr geehrte Damen und Herren,"},
    };
    for (const Fall& f : faelle) {
        Adresse a;
        a.name = QString::fromUtf8(f.name);
        a.zusatz = QString::fromUtf8(f.zusatz);
        EXPECT_EQ(Anrede(a).toStdString(), f.anrede) << f.name << " / " << f.zusatz;
    }
}

TEST(Serienbriefe, EveryAddressFieldOfALetterIsFilled) {
    testApp();
    TestDir dir;
    auto briefe = Serienbriefe::Oeffnen(Pfad(dir, "SERIENBRIEFE.MDB"));
    ASSERT_TRUE(briefe);
    const int64_t lfnr = briefe->Neu("Alle Felder");
    QString text = "<velu-doc version=\"1\">";
    for (int n : {1, 2, 3, 4, 5, 6, 7, 90})
        text += QString("<p>%1=<field n=\"%1\"> </field>;</p>").arg(n);
    text += "</velu-doc>";
    briefe->Datenbank().Execute("UPDATE DruckVorlagen SET TextVorlagen = :t WHERE LFNR = :n",
                                velu::db::Params().Set("t", text.toStdString()).Set("n", lfnr));
    Adresse a = Drei[2];
    a.telefon = "089 123";
    a.email = "info@wohnbau-sued.de";
    ScribantPro doc;
    ASSERT_TRUE(briefe->Erstelle(lfnr, {a}, "01.01.2027", doc));
    const QString t = doc.Document(ScribantPro::Body)->toPlainText();
    for (const char* soll :
         {"1=Wohnbau Süd GmbH;", "2=z. Hd. Frau Dr. Özlem Krüger-O'Hara;", "3=Südring 4;", "4=80331;",
          "5=München;", "6=089 123;", "7=info@wohnbau-sued.de;", "90=01.01.2027;"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(soll))) << soll << "\n" << t.toStdString();
}

TEST(Serienbriefe, AnAddressWithAControlCharacterStillMakesEveryLetter) {
    testApp();
    TestDir dir;
    auto briefe = Serienbriefe::Oeffnen(Pfad(dir, "SERIENBRIEFE.MDB"));
    ASSERT_TRUE(briefe);
    const int64_t lfnr = briefe->Neu("Einladung");
    // Pasted from elsewhere: a vertical tab in the name, a form feed and a NUL in the town.
    Adresse a = Drei[0];
    a.name = QString("Gemeinde\vMusterhausen");
    a.ort = QString("Muster\fhausen") + QChar(0);
    ScribantPro doc;
    QString fehler;
    ASSERT_TRUE(briefe->Erstelle(lfnr, {a, Drei[1]}, "09.12.2026", doc, &fehler)) << fehler.toStdString();
    const QString t = doc.Document(ScribantPro::Body)->toPlainText();
    EXPECT_TRUE(t.contains("Gemeinde Musterhausen\nBauamt\nRathausplatz 1\n12345 Muster hausen"))
        << t.toStdString();
    EXPECT_TRUE(t.contains("Stadt Neustadt")) << "the next recipient's letter follows";
}

TEST(Serienbriefe, RefusedMergesLeaveTheDocumentAsItWas) {
    testApp();
    TestDir dir;
    auto briefe = Serienbriefe::Oeffnen(Pfad(dir, "SERIENBRIEFE.MDB"));
    ASSERT_TRUE(briefe);
    const int64_t gut = briefe->Neu("Gut");
    const int64_t kaputt = briefe->Neu("Kaputt");
    briefe->Datenbank().Execute("UPDATE DruckVorlagen SET TextVorlagen = '<velu-doc><p>offen' WHERE LFNR = :n",
                                velu::db::Params().Set("n", kaputt));
    struct Fall {
        const char* name;
        int64_t lfnr;
        std::vector<Adresse> an;
        const char* meldung;
    };
    const Fall faelle[] = {
        {"no recipient", gut, {}, "Empfänger"},
        {"deleted letter", gut + 100, {Drei[0]}, "nicht mehr vorhanden"},
        {"unreadable letter", kaputt, {Drei[0]}, "nicht gelesen"},
    };
    for (const Fall& f : faelle) {
        ScribantPro doc;
        doc.PasteData("vorher", "text", -1);
        QString fehler;
        EXPECT_FALSE(briefe->Erstelle(f.lfnr, f.an, "01.01.2027", doc, &fehler)) << f.name;
        EXPECT_TRUE(fehler.contains(QString::fromUtf8(f.meldung))) << f.name << ": " << fehler.toStdString();
        EXPECT_EQ(doc.Text(), "vorher") << f.name;
    }
    ASSERT_TRUE(briefe->Loeschen(kaputt));
    EXPECT_EQ(briefe->Briefe().size(), 1u);
}

struct FensterFixture : ::testing::Test {
    TestDir dir;
    SerienbriefFenster* w = nullptr;
    void SetUp() override {
        testApp();
        auto briefe = Serienbriefe::Oeffnen(Pfad(dir, "SERIENBRIEFE.MDB"));
        auto adressen = Adressbuch::Oeffnen(Pfad(dir, "ZADRESS32.MDB"));
        ASSERT_TRUE(briefe && adressen);
        for (Adresse a : Drei)
            ASSERT_TRUE(adressen->Speichern(a));
        Adresse nicht = A("Nicht Angeschrieben", "", "Weg 9", "99999", "Irgendwo");
        ASSERT_TRUE(adressen->Speichern(nicht));
        w = new SerienbriefFenster(std::move(briefe), std::move(adressen));
        w->show();
    }
    void TearDown() override {
        SerienbriefFenster::EditorHook() = nullptr;
        SerienbriefFenster::DokumentHook() = nullptr;
        delete w;
    }
    void Ankreuzen(const QString& suche, const QString& name) {
        w->findChild<QLineEdit*>("Suche")->setText(suche);
        for (int i = 0; i < w->Empfaenger()->count(); ++i)
            if (w->Empfaenger()->item(i)->text().startsWith(name))
                w->Empfaenger()->item(i)->setCheckState(Qt::Checked);
    }
};

TEST_F(FensterFixture, ANewLetterIsWrittenInTheTemplateEditorAndSentToTheTickedAddresses) {
    if (!HatPdftotext()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    bool bearbeitet = false;
    SerienbriefFenster::EditorHook() = [&](DruckVorlagenEditor& e) {
        bearbeitet = true;
        EXPECT_EQ(e.findChild<QComboBox*>("Dokumentart")->currentText(), "Serienbriefe");
        EXPECT_EQ(e.findChild<QComboBox*>("Dokumentart")->count(), 1);
        e.findChild<QLineEdit*>("Bezeichnung")->setText("Baustellenfest");
        QTextCursor c(e.Ansicht().Control().Document(ScribantPro::Body));
        c.movePosition(QTextCursor::End);
        c.insertBlock();
        c.insertText("Wir laden Sie zum Richtfest ein.");
        MessageBoxScript boxen;
        EXPECT_TRUE(e.Speichern()) << boxen.LastText().toStdString();
    };
    w->findChild<QPushButton*>("Neu")->click();
    ASSERT_TRUE(bearbeitet);
    ASSERT_EQ(w->BriefListe()->count(), 1);
    EXPECT_EQ(w->BriefListe()->currentItem()->text(), "Baustellenfest");

    // Ticks survive a search that hides them.
    Ankreuzen("süd", "Wohnbau");
    Ankreuzen("gemeinde", "Gemeinde");
    Ankreuzen("", "Stadt");
    int gezeigt = 0;
    const QString pdf = Pfad(dir, "fest.pdf");
    SerienbriefFenster::DokumentHook() = [&](SerienbriefDokument& d) {
        ++gezeigt;
        EXPECT_TRUE(d.Ansicht().Control().PageView());
        EXPECT_TRUE(d.Werkzeuge().Definition("Band1", "PRINT"));
        EXPECT_TRUE(d.Ansicht().Control().SavePdf(pdf));
    };
    MessageBoxScript boxen;
    ASSERT_TRUE(w->Erstellen()) << boxen.LastText().toStdString();
    EXPECT_EQ(gezeigt, 1);
    // In the order of the address book.
    PruefeSeiten(pdf, {Drei[0], Drei[1], Drei[2]}, QDate::currentDate().toString("dd.MM.yyyy"));
    PruefeBriefbogen(pdf, {Drei[0], Drei[1], Drei[2]}, QDate::currentDate().toString("dd.MM.yyyy"));
    for (int s = 1; s <= 3; ++s)
        EXPECT_TRUE(Seite(pdf, s).contains("Wir laden Sie zum Richtfest ein."))
            << s << "\n" << Seite(pdf, s).join('\n').toStdString();
}

TEST_F(FensterFixture, WithoutLetterOrRecipientItSaysWhatIsMissing) {
    int gezeigt = 0;
    SerienbriefFenster::DokumentHook() = [&](SerienbriefDokument&) { ++gezeigt; };
    {
        MessageBoxScript boxen;
        EXPECT_FALSE(w->Erstellen());
        EXPECT_EQ(boxen.LastText(), KeinBriefGewaehlt);
    }
    ASSERT_GT(w->Briefe().Neu("Brief"), 0);
    w->FuelleBriefe();
    {
        MessageBoxScript boxen;
        EXPECT_FALSE(w->Erstellen());
        EXPECT_TRUE(boxen.LastText().contains(QString::fromUtf8("Empfänger")));
    }
    EXPECT_EQ(gezeigt, 0);
    {
        MessageBoxScript boxen({MsgResult::No});
        w->Loeschen();
        EXPECT_EQ(boxen.LastText(), SerienbriefLoeschen);
        EXPECT_EQ(w->BriefListe()->count(), 1);
    }
}

TEST(SerienbriefProgramm, OpensItsWindowOverTheFilesTheSettingsName) {
    testApp();
    TestDir dir;
    IniUmgebung u(Pfad(dir, "umgebung.ini"));
    ASSERT_TRUE(u.SetPfad("STDBRIEF", Pfad(dir, "Briefe/SERIENBRIEFE.MDB")));
    ASSERT_TRUE(u.SetPfad("ADRESSMDB", Pfad(dir, "Adressen/ZADRESS32.MDB")));
    StandInProgramme p(u);
    QWidget* fenster = nullptr;
    auto prog = p.CreateSerienbriefProgramm();
    prog->SetPxEntry(51);
    prog->showSerie(fenster);
    ASSERT_NE(fenster, nullptr);
    QPointer<QWidget> f = fenster;
    EXPECT_TRUE(fenster->isVisible());
    EXPECT_EQ(fenster->windowTitle(), "Serienbriefe");
    EXPECT_TRUE(QFile::exists(Pfad(dir, "Briefe/SERIENBRIEFE.MDB")));
    EXPECT_TRUE(QFile::exists(Pfad(dir, "Adressen/ZADRESS32.MDB")));
    fenster->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull()) << "closing the window ends it";

    // A letters file that is something else: a message, no window.
    QFile::remove(Pfad(dir, "Briefe/SERIENBRIEFE.MDB"));
    QFile::copy(Pfad(dir, "Adressen/ZADRESS32.MDB"), Pfad(dir, "Briefe/SERIENBRIEFE.MDB"));
    MessageBoxScript boxen;
    p.CreateSerienbriefProgramm()->showSerie(fenster);
    EXPECT_EQ(fenster, nullptr);
    EXPECT_TRUE(boxen.LastText().contains("Serienbriefe konnten nicht")) << boxen.LastText().toStdString();
}

// scripts/screenshot serienbrief
TEST_F(FensterFixture, Screenshot) {
    ASSERT_GT(w->Briefe().Neu("Einladung zum Richtfest"), 0);
    ASSERT_GT(w->Briefe().Neu("Jahresgruß"), 0);
    w->FuelleBriefe();
    Ankreuzen("", "Gemeinde");
    Ankreuzen("", "Wohnbau");
    QApplication::processEvents();
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (!datei.isEmpty()) EXPECT_TRUE(w->grab().save(datei));
}

} // namespace
