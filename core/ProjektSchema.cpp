#include "core/ProjektSchema.h"

namespace velu {

using namespace schema;

namespace {

std::vector<Column> BeReListColumns() {
    ColumnList c;
    c << Text("ReBezeichnung", 100) << Key("LfNr") << Text("REType", 1) << Long("Gruppierung")
      << Date("Redatum") << Text("ReNummer", 30) << Cur("BerNetto") << Cur("ZuAbBrNetto") << Pct("MwstPro")
      << Cur("MwstDM") << Cur("Brutto") << Cur("ZuAbBrutto") << Cur("ZwSummBrutto") << Cur("SummAz")
      << Pct("SkontoPro") << Cur("Skontofaehig") << Cur("SkontoDM") << Cur("Endbetrag")
      << Cur("Mwstenthalten") << Pct("InZuSchBerNettoPro") << Cur("InZuSchBerNettoDM")
      << Pct("InZuSchBruttoPro") << Cur("InZuSchBruttoDM") << Cur("InZuSchBerNettoProDM")
      << Cur("InZuSchBruttoProDM") << Cur("ZwSumm") << Pct("StdReNetZuAbPro") << Cur("StdReNetZuAbDM")
      << Cur("StdReNetZuAbProDM") << Pct("StdReBrZuAbPro") << Cur("StdReBrZuAbDM") << Cur("StdReBrZuAbProDM")
      << Bool("Modif") << Long("Ursprung") << Cur("KOST57")
      << Text("ZuPara", 50)
      // NULL rate: the site-supervision dialog uses its default rate; NULL completion: 100 percent.
      << NullDefault(Pct("PSatz57")) << NullDefault(Pct("Fertigstell57")) << Cur("Pausch57")
      << Twins({"StdReNetZuAbDM",
                "StdReBrZuAbDM",
                "SummAz",
                "StdReNetZuAbProDM",
                "StdReBrZuAbProDM",
                "InZuSchBerNettoProDM",
                "ZuAbBrNetto",
                "ZwSumm",
                "MwstDM",
                "Brutto",
                "InZuSchBruttoProDM",
                "ZuAbBrutto",
                "Skontofaehig",
                "SkontoDM",
                "Endbetrag",
                "Mwstenthalten",
                "BerNetto",
                "InZuSchBruttoDM",
                "InZuSchBerNettoDM",
                "Pausch57"})
      << Text("Gruppenbezeichnung", 100) << Int("INPUTType") << Int("DisplayType");
    return c;
}

std::vector<Column> GrunddatenColumns() {
    ColumnList c;
    c << Key("LfNr") << Long("LfNrBeReList") << Int("AnlageGruppe") << Int("ZuordnungAnlGrp")
      << Text("AnlageGrBez", 50) << Int("REType") << Default(Int("Honorarzone"), "1") << Bool("PunktekatUsed")
      << Pct("MwStPro") << Bool("HOAIALT") << Long("ZuordnungLBTabelle") << Int("INPUTType")
      << Int("DisplayType") << Family("SatzUemin", 1, 3, Pct) << Family("AnreKostAB", 1, 3, Cur)
      << Family("AnreKostFremdAB", 1, 3, Cur) << Family("SummAnreKostAB", 1, 3, Cur)
      << Family("FremdKoModAB", 1, 3, Int) << Family("SumAnrechenbareKosten", 1, 3, Cur)
      << Family("HonorarMinAB", 1, 3, Cur) << Family("HonorarMaxAB", 1, 3, Cur)
      << Family("SumHOMin", 1, 3, Cur) << Family("SumHOMax", 1, 3, Cur) << Family("GrHonorarAb", 1, 3, Cur)
      << Family("PHonorarAB", 1, 3, Cur) << Family("HonrarNettoAB", 1, 3, Cur) << Cur("HonrarNetto");
    // NULL partial service: the phase counts in full (100 percent).
    for (int i = 1; i <= 9; ++i)
        c << NullDefault(Pct("TeilleistPro" + std::to_string(i)));
    c << Family("TeilleistDM", 1, 9, Cur) << Family("GrundLDM", 1, 9, Cur) << Family("SummZu", 1, 9, Pct)
      << Family("ZuDM", 1, 9, Cur) << Family("VollZuschlagant", 1, 9, Cur) << Family("TotalDMLP", 1, 9, Cur)
      << Cur("SumGrundHonorar") << Pct("SummZuNettoPro") << Cur("SummZuNettoDM") << Cur("SummZuNettoProDM")
      << Cur("HonorarBerNetto") << Family("PhTX", 1, 3, [](std::string n) { return Text(std::move(n), 50); });
    for (const char* stem : {"SumAnrechenbareKosten", "HonorarMinAB", "HonorarMaxAB", "SumHOMin", "SumHOMax",
                             "GrHonorarAb", "PHonorarAB", "HonrarNettoAB"})
        c << Family(std::string("AlDisp") + stem, 1, 3, Cur);
    c << Cur("AlDispHonrarNetto");
    for (const char* stem : {"TeilleistDM", "GrundLDM", "ZuDM", "VollZuschlagant", "TotalDMLP"})
        c << Family(std::string("AlDisp") + stem, 1, 9, Cur);
    c << Twins({"SumGrundHonorar", "SummZuNettoDM", "SummZuNettoProDM", "HonorarBerNetto"});
    return c;
}

std::vector<Column> LeistungsbildColumns() {
    auto text = [](std::string n) { return Text(std::move(n), 80); };
    ColumnList c;
    c << Key("LfNr") << Long("LfNrBeReList") << Int("ZuordnungAnlGrp") << Int("MitAnLageGrp")
      << Long("LeistungsbildLFNR") << Text("LeistungsbildBez", 80) << Text("LeistungsbildPara", 20)
      << Text("HoaiTafel", 10) << Text("HoaiTafelBez", 80) << Long("HoaiTafelZuordnung")
      << Family("LiTX", 1, 10, text, true) << Family("proz", 1, 10, Pct, true)
      << Family("KoZU", 1, 10, Int, true) << Text("PunktekatName", 80) << Long("Punktekatzuordnung")
      << Int("Einheit") << Int("Integrationspl") << Long("Kontenplan") << Cur("TafelMaxWert")
      << Cur("TafelMinWert") << Int("TafelMaxZone") << Bool("HOAIALT");
    return c;
}

std::vector<Column> ZuColumns(bool perGroup, bool dummy) {
    ColumnList c;
    c << Key("LfNr") << Long("LfNrBeReList");
    if (perGroup) c << Int("ZuordnungAnlGrp");
    c << Text("Bezeichnung", 100) << Pct("ZuAbPro") << Cur("ZuAbDM") << Cur("AlDispZuAbDM");
    if (dummy) c << Int("Dummy");
    return c;
}

std::vector<Table> Tables() {
    std::vector<Table> t;
    t.push_back({"BeReList", BeReListColumns()});
    t.push_back({"Grunddaten", GrunddatenColumns()});
    t.push_back({"Leistungsbild", LeistungsbildColumns()});
    t.push_back({"AnrechenbareKosten", ColumnList() << Key("LfNr") << Long("LfNrBeReList")
                                                    << Int("ZuordnungAnlGrp") << Int("Phase")
                                                    << Text("Kostenstellennr", 20) << Text("Bezeichnung", 100)
                                                    << Cur("Eigenleistung") << Cur("FremdLeistung")
                                                    << Twins({"Eigenleistung", "FremdLeistung"})});
    t.push_back({"PunkteTab", ColumnList()
                                  << Key("LfNr") << Long("LfNrBeReList") << Int("ZuordnungAnlGrp")
                                  << Text("Text", 255) << Int("MaxPunkte") << Int("VergebenePunkte")});
    t.push_back({"ZuNetto", ZuColumns(true, false)});
    t.push_back({"ZuBerNetto", ZuColumns(false, true)});
    t.push_back({"ZuBrutto", ZuColumns(false, true)});
    t.push_back({"ZuLP", ColumnList() << Key("LfNr") << Long("LfNrBeReList") << Int("ZuordnungAnlGrp")
                                      << Text("Bezeichnung", 100) << Pct("ZuAb") << Int("LP")});
    t.push_back({"Zahlung", ColumnList()
                                << Key("LfNr") << Long("LfNrBeReList") << Long("Ursprung") << Date("Datum")
                                << Text("Bemerkung", 100) << Cur("Zahlung") << Cur("AlDispZahlung")});
    t.push_back({"StdRePos", ColumnList() << Key("LfNr") << Long("REZuordnung") << Text("PosNr", 8)
                                          << Text("Leistung", 255) << Cur("Satz") << Text("Einheit", 20)
                                          << Cur("Menge") << Cur("Summ") << Text("Mitarbeiter", 50)
                                          << Text("KoArt", 20) << Cur("interSatz") << Text("LeistNr", 20)
                                          << Cur("interSumm") << Date("Datum") << Twins({"Satz", "Summ"})});
    t.push_back({"Projektaufwand", ColumnList() << Key("LfNr") << Text("Numm", 8) << Text("Leistung", 255)
                                                << Cur("Satz") << Text("Einheit", 20) << Cur("Menge")
                                                << Cur("Summ") << Text("Mitarbeiter", 50) << Date("Datum")
                                                << Int("Phzuordnung") << Text("KoArt", 20) << Cur("interSatz")
                                                << Text("LeistNr", 20) << Cur("interSumm") << Int("INPUTType")
                                                << Int("DisplayType") << Bool("SchonVerbucht") << Bool("HIDE")
                                                << Twins({"Satz", "Summ", "interSatz", "interSumm"})});
    // Print tables: the layout of their source with a key that keeps the source's number.
    for (const auto& p : ProjektSchema::PrintTables()) {
        for (const auto& src : t) {
            if (src.name != p.source) continue;
            Table print{p.print, src.columns};
            for (auto& col : print.columns)
                if (col.type == ColType::Key) col.type = ColType::RowId;
            t.push_back(std::move(print));
            break;
        }
    }
    return t;
}

std::vector<std::string> Extra() {
    std::vector<std::string> x;
    for (const char* table : {"Grunddaten", "Leistungsbild", "AnrechenbareKosten", "PunkteTab", "ZuNetto",
                              "ZuBerNetto", "ZuBrutto", "ZuLP", "Zahlung"})
        x.push_back(std::string("CREATE INDEX \"") + table + "_LfNrBeReList\" ON \"" + table +
                    "\" (LfNrBeReList)");
    x.push_back("CREATE INDEX \"StdRePos_REZuordnung\" ON \"StdRePos\" (REZuordnung)");
    x.push_back("CREATE TRIGGER \"Leistungsbild_Link\" AFTER INSERT ON \"Leistungsbild\" BEGIN "
                "UPDATE Grunddaten SET ZuordnungLBTabelle = NEW.LfNr "
                "WHERE LfNrBeReList = NEW.LfNrBeReList AND AnlageGruppe = NEW.ZuordnungAnlGrp; END");
    return x;
}

} // namespace

const std::vector<ProjektSchema::PrintPair>& ProjektSchema::PrintTables() {
    static const std::vector<PrintPair> pairs = {
        {"BeReList", "BeReListPrint", "KillBeRelistPrint", "TOBerelistPrint", "LfNr"},
        {"Grunddaten", "Grunddatenprint", "KillGrunddatPrint", "ToGrunddatPrint", "LfNrBeReList"},
        {"ZuBerNetto", "ZuBerNettoPrint", "KillZuBerNettoPrint", "ToZuBerNettoPrint", "LfNrBeReList"},
        {"ZuBrutto", "ZuBruttoPrint", "KillZuBruttoPrint", "ToZuBruttoPrint", "LfNrBeReList"},
        {"ZuNetto", "ZuNettoPrint", "KillZuNettoPrint", "ToZuNettoPrint", "LfNrBeReList"},
        {"StdRePos", "StdRePosPrint", "KillStdRePosPrint", "ToStdRePosPrint", "REZuordnung"},
    };
    return pairs;
}

const SchemaDef& ProjektSchema::Get() {
    static const SchemaDef def(Tables(), Extra());
    return def;
}

} // namespace velu
