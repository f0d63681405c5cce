#include "TestApp.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "core/GelieferteDruckvorlagen.h"
#include "core/MasterDataLoader.h"
#include "documents/SbRoutienen.h"
#include "platform/db/QueryDef.h"
#include "platform/richtext/PdfTestText.h"
#include "platform/richtext/VeluDoc.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu;
using richtext::ScribantPro;

TEST(GelieferteDruckvorlagen, SurviveReadingAndWriting) {
    testApp();
    ASSERT_EQ(GelieferteDruckvorlagen().size(), 7u);
    for (const auto& v : GelieferteDruckvorlagen()) {
        for (const std::string* text : {&v.kopf, &v.text, &v.fuss}) {
            QTextDocument doc;
            QString error;
            ASSERT_TRUE(richtext::PasteVeluDoc(doc, QString::fromStdString(*text), &error))
                << v.bezeichnung << ": " << error.toStdString();
            EXPECT_EQ(richtext::WriteVeluDoc(doc).toStdString(), *text) << v.bezeichnung;
        }
        // Every template has the letter fields and the page number in its footer.
        for (int n : {1004, 1005, 1006, 90, 3001, 3002})
            EXPECT_NE(v.text.find("<field n=\"" + std::to_string(n) + "\">"), std::string::npos)
                << v.bezeichnung << " " << n;
        EXPECT_NE(v.fuss.find("Seite <field n=\"91\">"), std::string::npos);
    }
}

TEST(GelieferteDruckvorlagen, PrintWithSampleValuesPdf) {
    testApp();
    if (!PdfTextAvailable()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    TestDir dir;
    std::string error;
    auto stamm = DatabaseSetup::CreateStammDB(dir / "VELUDAT32.MDB", &error);
    ASSERT_TRUE(stamm) << error;
    MasterDataLoader::Load(*stamm, std::filesystem::path(VELU_SOURCE_DIR) / "data" / "hoai");

    const char* abfragen[] = {"DrHOAIAngebote",
                              "DrHOAIRechnungen",
                              "DrHOAIRechnungörtlicheBauleitungl",
                              "DrHOAIRechnungZusammenstell",
                              "DrHOAIStdRechnungen",
                              "DrHOAIVergAngebot",
                              "DrHOAIVergRechnung"};
    const std::vector<std::pair<int, QString>> gemeinsam = {
        {1004, "Gemeinde Musterhausen"},
        {1005, "Rathausplatz 3"},
        {1006, "12345 Musterhausen"},
        {90, "14.03.2002"},
        {3001, "R-2002-017"},
        {3002, "Neubau Grundschule"},
        {100, "Grundschule Nord"},
        {101, "2002-04"},
    };
    const std::vector<std::pair<int, QString>> je[] = {
        {{3003, "§ 34 Gebäude"}, {3315, "12.345,67 €"}, {3304, "10.000,00 €"}},
        {{3003, "§ 34 Gebäude"}, {3315, "12.345,67 €"}, {3311, "-2.000,00 €"}},
        {{3317, "450.000,00 €"}, {3318, "2,50 %"}, {3315, "9.876,54 €"}},
        {{3052, "R-1\r\nR-2"},
         {3053, "Abschlag 1\r\nAbschlag 2"},
         {3055, "1.000,00 €\r\n2.000,00 €"},
         {3056, "3.000,00 €"},
         {3058, "413,79 €"}},
        {{3315, "1.150,00 €"}, {3308, "158,62 €"}},
        {{3003, "§ 34 Gebäude"}, {3315, "22.222,22 €"}},
        {{3003, "§ 34 Gebäude"}, {3315, "33.333,33 €"}},
    };
    for (int k = 0; k < 7; ++k) {
        auto rs = stamm->GetQueryDef(abfragen[k])->OpenRecordset();
        ASSERT_FALSE(rs.Empty()) << abfragen[k];
        ScribantPro c;
        ASSERT_TRUE(documents::SBLoadTexte(c, rs, "TextVorlagen", "TextVorlagenFO", "KopfTX", "KopfFo",
                                           "FussTx", "FussFO", "RandOben", "RandUnten", "RandLINKS",
                                           "RandRechts", 0));
        EXPECT_DOUBLE_EQ(c.TopMargin(), 20);
        EXPECT_DOUBLE_EQ(c.LeftMargin(), 25);
        auto werte = gemeinsam;
        werte.insert(werte.end(), je[k].begin(), je[k].end());
        for (const auto& [n, text] : werte)
            EXPECT_TRUE(c.SetFieldText(n, text)) << abfragen[k] << " " << n;
        int seite = 0;
        QObject::connect(&c, &ScribantPro::NewPage, [&] { c.SetFieldText(91, QString::number(++seite)); });
        const QString pdf =
            QString::fromStdString((dir / ("vorlage" + std::to_string(k + 1) + ".pdf")).string());
        ASSERT_TRUE(c.SavePdf(pdf));
        const QString text = PdfText(pdf);
        for (const auto& [n, wert] : werte)
            for (const QString& zeile : QString(wert).split("\r\n"))
                EXPECT_TRUE(text.contains(zeile)) << abfragen[k] << " " << n << ": " << text.toStdString();
        EXPECT_TRUE(text.contains("Seite 1")) << abfragen[k];
        if (k == 1 || k == 3) {
            // Amounts stand right-aligned: the end amount ends its line.
            const QString betrag = k == 1 ? "12.345,67 €\n" : "3.000,00 €\n";
            EXPECT_TRUE(text.contains(betrag)) << text.toStdString();
        }
    }
}
