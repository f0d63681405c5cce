#include "core/StammSchema.h"

namespace velu {

using namespace schema;

namespace {

std::vector<Column> TafelColumns(bool scratch) {
    ColumnList c;
    c << (scratch ? RowId("LfNr") : Key("LfNr")) << Long("LfNrTafel") << Cur("AKosten")
      << Family("S", 1, 10, Cur) << Text("BEZTAFEL", 10) << Bool("HOAIALT") << Bool("STDHOAI");
    return c;
}

std::vector<Table> Tables() {
    auto text80 = [](std::string n) { return Text(std::move(n), 80); };
    std::vector<Table> t;
    t.push_back({"Tafel", TafelColumns(false)});
    t.push_back({"TafelVerzeichnis", ColumnList() << Key("LfNr") << Text("HoaiPara", 10)
                                                  << Text("HoaiBez", 60) << Bool("STDHOAI") << Int("ZonenAnz")
                                                  << Cur("MaxWert") << Cur("MinWert") << Bool("HOAIALT")});
    t.push_back({"Tafeltemp", TafelColumns(true)});
    t.push_back({"Leistungsbilder",
                 ColumnList() << Key("LfNr") << Text("Parag", 20) << Text("ParagBezeichnung", 80)
                              << Text("HoaiTafel", 10) << Text("HoaiTafelBez", 80)
                              << Long("HoaiTafelZuordnung") << Family("LiTX", 1, 10, text80, true)
                              << Family("proz", 1, 10, Pct, true) << Family("KoZU", 1, 10, Int, true)
                              << Text("PunktekatName", 80) << Long("Punktekatzuordnung") << Int("Einheit")
                              << Int("Integrationspl") << Long("Kontenplan") << Int("Anlagegruppen")
                              << Bool("STDLeistungbild") << Bool("HOAIALT") << Bool("LastUsed")});
    t.push_back({"Punkte", ColumnList() << Long("LFNRPUNKTVERZ") << Text("Text", 255) << Int("MaxPunkte")});
    ColumnList pv;
    pv << Key("LfNr") << Text("Bezeichnung", 80);
    for (int z = 1; z <= 5; ++z) {
        pv << Int("Hzone" + std::to_string(z) + "VonPunkt") << Int("Hzone" + std::to_string(z) + "BisPunkt");
    }
    t.push_back({"PunkteVerzeichnis", pv});
    t.push_back(
        {"KONTENPL", ColumnList() << Long("LfNrVerz") << Text("Kostenstelle", 20) << Text("BText", 100)});
    t.push_back({"KontenplanVerzeichnis", ColumnList() << Key("LfNr") << Text("Bezeichnung", 80)});
    t.push_back({"Mitarbeiter", ColumnList() << Text("Mitarbeiter", 50) << Cur("StundensatzInt")
                                             << Cur("Stundensatzext")
                                             << Twins({"StundensatzInt", "Stundensatzext"}) << Key("LfNr")});
    t.push_back({"AufwandVerz", ColumnList() << Text("Positionsnummer", 8) << Text("Leistung", 255)
                                             << Text("Einheit", 20) << Int("zuordnung") << Cur("interSatz")
                                             << Cur("Satz") << Twins({"interSatz", "Satz"}) << Key("LfNr")});
    t.push_back({"Zugriff", ColumnList() << Key("LfNr") << Unique(Text("Benutzername", 30))
                                         << Text("Passwort", 128) << Bool("OhnePasswort") << Long("Rechte")});
    t.push_back({"Optionen", ColumnList() << Key("Nr") << Bool("MitPasswort")});
    t.push_back({"DruckVorlagen", ColumnList() << Key("LFNR") << Int("Dokumentart") << Text("Bezeichnung", 80)
                                               << Long("RandOben") << Long("RandUnten") << Long("RandLINKS")
                                               << Long("RandRechts") << Memo("KopfTX") << Memo("KopfFo")
                                               << Memo("FussTx") << Memo("FussFO") << Memo("TextVorlagen")
                                               << Memo("TextVorlagenFO") << Int("UNICODEFLAG")});
    ColumnList vp;
    for (const char* n :
         {"Projektnr", "Projektbez", "Planungsbeginn", "Baugesuch", "Baubeginn", "Rohbauabnahme",
          "Schlussabnahme", "Bezugsfertig", "Bauvorhaben", "Auftragsform", "BV-Nr", "Baugenenigung"})
        vp << Text(n, 100);
    vp << Key("LfNr");
    t.push_back({"Vorplanung", vp});
    t.push_back({"Offeneposten", ColumnList() << Text("Projektnr", 30) << Text("Projektbez", 100)
                                              << Text("RechnungsNr", 30) << Text("Rechnungsbez", 100)
                                              << Text("ReDatum", 20) << Cur("DMOffen")
                                              << Cur("AlternativOffen") << Int("Inputtype") << Key("LfNr")});
    return t;
}

std::vector<std::string> Extra() {
    return {"CREATE INDEX \"Tafel_LfNrTafel\" ON \"Tafel\" (LfNrTafel, AKosten)",
            "CREATE INDEX \"Punkte_LFNRPUNKTVERZ\" ON \"Punkte\" (LFNRPUNKTVERZ)",
            "CREATE INDEX \"KONTENPL_LfNrVerz\" ON \"KONTENPL\" (LfNrVerz)"};
}

} // namespace

const SchemaDef& StammSchema::Get() {
    static const SchemaDef def(Tables(), Extra());
    return def;
}

} // namespace velu
