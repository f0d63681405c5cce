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
        // Every template has the client's address and the date, every single document its number and
        // subject, and the footer the page of pages and what an invoice must name of the office.
        std::vector<int> felder = {1004, 1005, 1006, 90};
        if (v.dokumentart != 4) felder.insert(felder.end(), {3001, 3002});
        for (int n : felder)
            EXPECT_NE(v.text.find("<field n=\"" + std::to_string(n) + "\">"), std::string::npos)
                << v.bezeichnung << " " << n;
        EXPECT_NE(v.fuss.find("Seite <field n=\"91\"> </field> von <field n=\"93\">"), std::string::npos);
        for (const char* pflicht : {"Steuernummer", "USt-IdNr.", "IBAN"})
            EXPECT_NE(v.fuss.find(pflicht), std::string::npos) << v.bezeichnung << " " << pflicht;
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
        {100, "Grundschule Nord"},
        {101, "2002-04"},
    };
    const QString summen = QString::fromUtf8("Honorar netto\t\t10.000,00 €\r\nEndbetrag\t\t12.345,67 €");
    const std::vector<std::pair<int, QString>> je[] = {
        {{3001, "A-2002-017"}, {3002, "Neubau Grundschule"}, {3003, "§ 34 Gebäude"}, {3050, summen}},
        {{3001, "R-2002-017"}, {3002, "Neubau Grundschule"}, {3003, "§ 34 Gebäude"}, {3050, summen}},
        {{3001, "R-2002-018"}, {3317, "450.000,00 €"}, {3318, "2,50 %"}, {3050, summen}},
        {{3052, "R-1\r\nR-2"},
         {3053, "Abschlag 1\r\nAbschlag 2"},
         {3055, "1.000,00 €\r\n2.000,00 €"},
         {3056, "3.000,00 €"},
         {3058, "413,79 €"}},
        {{3001, "S-1"}, {3050, summen}},
        {{3001, "E-1"}, {3003, "§ 34 Gebäude"}, {3050, summen}},
        {{3001, "V-1"}, {3003, "§ 34 Gebäude"}, {3050, summen}},
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
                for (const QString& teil : zeile.split('\t', Qt::SkipEmptyParts))
                    EXPECT_TRUE(text.contains(teil)) << abfragen[k] << " " << n << ": " << text.toStdString();
        EXPECT_TRUE(text.contains("Seite 1 von")) << abfragen[k];
        if (k == 1 || k == 3) {
            // Amounts stand right-aligned: the end amount ends its line.
            const QString betrag = k == 1 ? "12.345,67 €\n" : "3.000,00 €\n";
            EXPECT_TRUE(text.contains(betrag)) << text.toStdString();
        }
    }
}
