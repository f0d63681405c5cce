#include "core/QueryDefs.h"

#include "core/ProjektSchema.h"
#include "core/StammSchema.h"

#include <cctype>

namespace velu {

using schema::ColType;
using schema::EqualsNoCase;
using schema::Table;

namespace {

std::string Join(const std::vector<std::string>& parts, const char* sep = ", ") {
    std::string s;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) s += sep;
        s += parts[i];
    }
    return s;
}

std::string Family(std::string_view stem, int from, int to, bool twoDigits = false) {
    std::vector<std::string> parts;
    for (int i = from; i <= to; ++i)
        parts.push_back(std::string(stem) + (twoDigits && i < 10 ? "0" : "") + std::to_string(i));
    return Join(parts);
}

// INSERT copying one calculation's rows of a table to another calculation, keys newly assigned.
StoredQuery CopyQuery(const std::string& name, const Table& t, const std::string& parent) {
    std::vector<std::string> target, source;
    for (const auto& c : t.columns) {
        if (c.type == ColType::Key) continue;
        target.push_back(c.name);
        source.push_back(EqualsNoCase(c.name, parent) ? ":NewNr" : c.name);
    }
    return {name, "INSERT INTO " + t.name + " (" + Join(target) + ") SELECT " + Join(source) + " FROM " +
                      t.name + " WHERE " + parent + " = :SelectNr ORDER BY LfNr"};
}

// Fills a print table with one calculation's rows; swapped, every amount and its twin trade places, so the
// print row shows the other currency in the main fields.
StoredQuery PrintQuery(const std::string& name, const Table& src, const std::string& print, const char* key,
                       bool swapped) {
    std::vector<std::string> target, source;
    for (const auto& c : src.columns) {
        target.push_back(c.name);
        std::string from = c.name;
        if (swapped && c.type == ColType::Currency) {
            if (src.Has("AlDisp" + c.name)) {
                from = "AlDisp" + c.name;
            } else if (c.name.rfind("AlDisp", 0) == 0 && src.Has(c.name.substr(6))) {
                from = c.name.substr(6);
            }
        }
        source.push_back(from);
    }
    return {name, "INSERT INTO " + print + " (" + Join(target) + ") SELECT " + Join(source) + " FROM " +
                      src.name + " WHERE " + key + " = :Lfnr"};
}

std::vector<StoredQuery> MakeProjekt() {
    const auto& s = ProjektSchema::Get();
    std::vector<StoredQuery> q = {
        // The register tree: whole rows (the register edits BeReList through this recordset), a group's rows
        // together.
        {"Rechnungsübersicht", "SELECT BeReList.* FROM BeReList ORDER BY Ursprung, LfNr"},
        {"GruppenAnzahl", "SELECT Ursprung FROM BeReList GROUP BY Ursprung ORDER BY Ursprung"},
        // Profile rows of a calculation whose basic-data row of the same plant group is not linked to them.
        // The insert trigger on Leistungsbild links copies at once, so after a copy this is normally empty.
        {"GetAllNotConectLB",
         "SELECT Leistungsbild.LfNr, Leistungsbild.ZuordnungAnlGrp AS AnlageGruppe FROM Leistungsbild "
         "INNER JOIN Grunddaten ON Grunddaten.LfNrBeReList = Leistungsbild.LfNrBeReList "
         "AND Grunddaten.AnlageGruppe = Leistungsbild.ZuordnungAnlGrp "
         "WHERE Leistungsbild.LfNrBeReList = :LFNR AND Coalesce(Grunddaten.ZuordnungLBTabelle, 0) <> "
         "Leistungsbild.LfNr ORDER BY Leistungsbild.ZuordnungAnlGrp"},
        // The basic-data rows of one plant group; field 0 (named LfNr: the number of the profile row) is
        // their
        // link to the service-profile row, which the copy of a calculation sets to the copy's own.
        {"GetLBConnection",
         "SELECT Grunddaten.ZuordnungLBTabelle AS LfNr, Grunddaten.LfNr AS GrunddatenLfNr, "
         "Grunddaten.LfNrBeReList, Grunddaten.AnlageGruppe FROM Grunddaten "
         "WHERE Grunddaten.LfNrBeReList = :LfNrBeReList AND Grunddaten.AnlageGruppe = :ZuordnungAnlGrp "
         "ORDER BY Grunddaten.LfNr"},
        {"GetLeistungsbildPara",
         "SELECT LeistungsbildPara FROM Leistungsbild WHERE LfNrBeReList = :BerListNr "
         "ORDER BY ZuordnungAnlGrp LIMIT 1"},
        {"GETHonorarBerNetto", "SELECT Sum(HonorarBerNetto) AS HonorarBerNetto, "
                               "Sum(AlDispHonorarBerNetto) AS AlDispHonorarBerNetto "
                               "FROM Grunddaten WHERE LfNrBeReList = :BerListNr"},
        {"GetZuBerNetto",
         "SELECT Sum(ZuAbPro) AS ZuAbPro, Sum(ZuAbDM) AS ZuAbDM, Sum(AlDispZuAbDM) AS AlDispZuAbDM "
         "FROM ZuBerNetto WHERE LfNrBeReList = :BerListNr"},
        {"GetZuBrutto",
         "SELECT Sum(ZuAbPro) AS ZuAbPro, Sum(ZuAbDM) AS ZuAbDM, Sum(AlDispZuAbDM) AS AlDispZuAbDM "
         "FROM ZuBrutto WHERE LfNrBeReList = :BerListNr"},
        {"GetStdRePos", "SELECT Sum(Summ) AS Summ, Sum(AlDispSumm) AS AlDispSumm FROM StdRePos "
                        "WHERE REZuordnung = :BerListNr"},
        {"GetGrunddaten", "SELECT Grunddaten.* FROM Grunddaten WHERE LfNrBeReList = :LfNrBeReListx "
                          "AND AnlageGruppe = :AnlageGruppex ORDER BY LfNr"},
        {"GetALLGrunddaten", "SELECT Grunddaten.* FROM Grunddaten WHERE LfNrBeReList = :LfNrBeReListx "
                             "ORDER BY AnlageGruppe, LfNr"},
        {"GetLeistungsbild", "SELECT Leistungsbild.* FROM Leistungsbild WHERE LfNr = ?1"},
        {"GetAnrechenbareKosten",
         "SELECT Sum(Eigenleistung) AS Eigenleistung, Sum(FremdLeistung) AS FremdLeistung "
         "FROM AnrechenbareKosten WHERE Phase = :PhaseAktiv "
         "AND ZuordnungAnlGrp = :AnlageGrNr AND LfNrBeReList = :LfNrBeReList"},
        // Always one row (aggregate without GROUP BY).
        {"SumAnreBareKostenAnlageGrp", "SELECT Sum(SummAnreKostAB1) AS SummAnreKostAB1, "
                                       "Sum(SummAnreKostAB2) AS SummAnreKostAB2, "
                                       "Sum(SummAnreKostAB3) AS SummAnreKostAB3 "
                                       "FROM Grunddaten WHERE LfNrBeReList = :BerListNr"},
        {"DelKontenplanNullwerte", "DELETE FROM AnrechenbareKosten WHERE LfNrBeReList = :LfNrBeReList "
                                   "AND Phase = :Phase AND ZuordnungAnlGrp = :ZuordnungAnlGrp "
                                   "AND Coalesce(Eigenleistung, 0) = 0 AND Coalesce(FremdLeistung, 0) = 0"},
        {"DELLeistungsbild", "DELETE FROM Leistungsbild WHERE LfNrBeReList = :LfNrBeReList "
                             "AND ZuordnungAnlGrp = :AnlageGr"},
        {"delPunkteTab",
         "DELETE FROM PunkteTab WHERE LfNrBeReList = :Lfnr AND ZuordnungAnlGrp = :ZuOrdGrupp"},
        {"getPunkteSumm", "SELECT Sum(VergebenePunkte) AS PunkteSumm FROM PunkteTab "
                          "WHERE LfNrBeReList = :BerListNr AND ZuordnungAnlGrp = :ZuordnungAnlGrp"},
        {"SummZuLP", "SELECT Sum(ZuAb) AS SummZuAb, LP FROM ZuLP WHERE LfNrBeReList = :LfNrBeReList "
                     "AND ZuordnungAnlGrp = :ZuordnungAnlGrp GROUP BY LP ORDER BY LP"},
        {"SummZuSchBerNetto", "SELECT Sum(ZuAbPro) AS SummZuNettoPro, Sum(ZuAbDM) AS SummZuNettoDM, "
                              "Sum(AlDispZuAbDM) AS AlDispSummZuNettoDM FROM ZuNetto "
                              "WHERE LfNrBeReList = :LfNrBeReList AND ZuordnungAnlGrp = :ZuordnungAnlGrp"},
        {"AktPhasenText",
         "UPDATE Grunddaten SET PhTX1 = :PhTX1, PhTX2 = :PhTX2, PhTX3 = :PhTX3 WHERE LfNr = :GdLfnf"},
        {"SumKostenPara57", "SELECT Sum(Eigenleistung) AS Kosten, Sum(AlDispEigenleistung) AS AlDispKosten "
                            "FROM AnrechenbareKosten WHERE LfNrBeReList = :LfNrBeReList"},
        // Leaves out the auxiliary rows of the expense report (HIDE).
        {"GetNichtVerbuchtenProjektAufwand", "SELECT Projektaufwand.* FROM Projektaufwand "
                                             "WHERE Coalesce(SchonVerbucht, 0) = 0 AND Coalesce(HIDE, 0) = 0 "
                                             "ORDER BY Datum, LfNr"},
        {"ProAufWandSummGrup", "SELECT Coalesce(Phzuordnung, 0) AS Phzuordnung, Sum(Summ) AS Summ, "
                               "Sum(interSumm) AS interSumm, Sum(AlDispSumm) AS AlDispSumm, "
                               "Sum(AlDispinterSumm) AS AlDispinterSumm FROM Projektaufwand "
                               "GROUP BY Coalesce(Phzuordnung, 0) ORDER BY 1"},
        {"SetRechnungsdatum", "UPDATE BeReList SET Redatum = :DatumIn WHERE LfNr = :LfNr"},
        {"GetBerelistPrint", "SELECT BeReListPrint.* FROM BeReListPrint WHERE LfNr = :LfnrIn"},
        {"GetGrunddatenPrint",
         "SELECT Grunddatenprint.* FROM Grunddatenprint WHERE LfNrBeReList = :BeReListLfnr "
         "ORDER BY AnlageGruppe, LfNr"},
        {"GetLeistungsbildBereList", "SELECT LeistungsbildPara, LeistungsbildBez, HoaiTafel, HoaiTafelBez, " +
                                         Family("LiTX", 1, 10, true) + ", " + Family("proz", 1, 10, true) +
                                         " FROM Leistungsbild WHERE LfNrBeReList = :BeReListLfnr "
                                         "ORDER BY ZuordnungAnlGrp, LfNr"},
        {"GetBerelist",
         "SELECT ReNummer, ReBezeichnung, Redatum, REType, INPUTType, Endbetrag, AlDispEndbetrag, "
         "Mwstenthalten, AlDispMwstenthalten FROM BeReList WHERE LfNr = :LfnrIn"},
        {"DELHIDEProAUFWAND", "DELETE FROM Projektaufwand WHERE Coalesce(HIDE, 0) <> 0"},
    };
    for (auto [table, name] : {std::pair{"Grunddaten", "CopyGrunddaten"},
                               {"Leistungsbild", "Copyleistungsbild"},
                               {"AnrechenbareKosten", "CopyAnrechenbareKosten"},
                               {"PunkteTab", "CopyPunkteTab"},
                               {"ZuNetto", "CopyZuNetto"},
                               {"ZuBerNetto", "CopyZuBerNetto"},
                               {"ZuBrutto", "CopyZuBrutto"},
                               {"ZuLP", "CopyZuLP"}})
        q.push_back(CopyQuery(name, s.Get(table), "LfNrBeReList"));
    q.push_back(CopyQuery("CopyStdRePos", s.Get("StdRePos"), "REZuordnung"));
    for (const auto& p : ProjektSchema::PrintTables()) {
        q.push_back({p.killQuery, std::string("DELETE FROM ") + p.print});
        q.push_back(PrintQuery(p.fillQuery, s.Get(p.source), p.print, p.keyColumn, false));
        q.push_back(
            PrintQuery(std::string(p.fillQuery) + "AlDisp", s.Get(p.source), p.print, p.keyColumn, true));
    }
    return q;
}

// ALT 0, empty or Null: the current regulation; any other value: that of 1991.
constexpr const char* AltFilter = "(Coalesce(CAST(:ALT AS INTEGER), 0) <> 0) = (Coalesce(HOAIALT, 0) <> 0)";

std::vector<StoredQuery> MakeStamm() {
    std::vector<StoredQuery> q = {
        {"GetTafel", "SELECT Tafel.* FROM Tafel WHERE LfNrTafel = :TafelLfnr ORDER BY AKosten"},
        {"GetInfoTafelverz", "SELECT ZonenAnz, MaxWert, MinWert, LfNr, HoaiPara, HoaiBez, HOAIALT "
                             "FROM TafelVerzeichnis WHERE LfNr = ?1"},
        // Field 0 lowest and field 1 highest axis value (the order the fee-table editor reads), then the
        // highest fee of each zone, 0 for a zone without values.
        {"GetMaxTafelwerte", "SELECT Min(AKosten) AS MinWert, Max(AKosten) AS MaxWert, "
                             "Coalesce(Max(S2), 0) AS Zone1, Coalesce(Max(S4), 0) AS Zone2, "
                             "Coalesce(Max(S6), 0) AS Zone3, Coalesce(Max(S8), 0) AS Zone4, "
                             "Coalesce(Max(S10), 0) AS Zone5 FROM Tafel WHERE LfNrTafel = :Lfnr"},
        {"LoadTafelBezeichnungen", std::string("SELECT TafelVerzeichnis.* FROM TafelVerzeichnis WHERE ") +
                                       AltFilter + " ORDER BY LfNr"},
        {"DelTafel", "DELETE FROM Tafel WHERE LfNrTafel = :Lfnr"},
        // The editor empties Tafeltemp before and after a copy.
        {"TransTafel2Temp", "INSERT INTO Tafeltemp SELECT Tafel.* FROM Tafel WHERE LfNrTafel = :Lfnr"},
        // A copy is never built in nor of 1991, so the editor lets the user change it.
        {"TransTemp2Tafel", "INSERT INTO Tafel (LfNrTafel, AKosten, " + Family("S", 1, 10) +
                                ", BEZTAFEL, HOAIALT, STDHOAI) SELECT :Lfnr, AKosten, " + Family("S", 1, 10) +
                                ", BEZTAFEL, 0, 0 FROM Tafeltemp ORDER BY AKosten"},
        {"SetNewTafelKurzName", "UPDATE Tafel SET BEZTAFEL = :NEWBEZ WHERE LfNrTafel = :Lfnr"},
        {"LoadLeistungsbilder",
         std::string("SELECT Leistungsbilder.* FROM Leistungsbilder WHERE ") + AltFilter + " ORDER BY LfNr"},
        // The template used last comes first, so it becomes the default profile of a new calculation.
        {"GETLBBezeichnungen", "SELECT Parag, ParagBezeichnung, LfNr, HOAIALT FROM Leistungsbilder "
                               "ORDER BY Coalesce(LastUsed, 0), LfNr"},
        {"GetAkLeistungsbild", "SELECT Leistungsbilder.* FROM Leistungsbilder WHERE LfNr = ?1"},
        {"SetLastUsednull", "UPDATE Leistungsbilder SET LastUsed = 0 WHERE LastUsed <> 0"},
        {"SetLastUsed", "UPDATE Leistungsbilder SET LastUsed = -1 WHERE LfNr = ?1"},
        {"LoadPunkteVerzeichnis", "SELECT Bezeichnung, LfNr FROM PunkteVerzeichnis ORDER BY LfNr"},
        {"GetPunkteverz", "SELECT PunkteVerzeichnis.* FROM PunkteVerzeichnis WHERE LfNr = :LfnRPunkteVerz"},
        {"GatAllKP", "SELECT Bezeichnung, LfNr FROM KontenplanVerzeichnis ORDER BY LfNr"},
        {"GetAkPasswort", "SELECT Passwort, Rechte, Benutzername, OhnePasswort FROM Zugriff "
                          "WHERE upper(Benutzername) = upper(:name)"},
        {"MitBenutzer", "SELECT Count(*) AS Benutzer FROM Zugriff"},
        {"MitPasswort", "SELECT Coalesce(MitPasswort, 0) AS ohnePasswort FROM Optionen ORDER BY Nr LIMIT 1"},
        {"setRechte", "UPDATE Zugriff SET Rechte = :Rechte WHERE upper(Benutzername) = upper(:Name)"},
        {"SetMitPasswort", "UPDATE Optionen SET MitPasswort = :NewVal"},
        {"SetNewPASSWORT", "UPDATE Zugriff SET Passwort = :PW WHERE upper(Benutzername) = upper(:Benutzer)"},
        {"DelOffenePosten", "DELETE FROM Offeneposten"},
        {"GetOffenePosten", "SELECT Offeneposten.* FROM Offeneposten ORDER BY LfNr"},
        {"AufwandVerzSatzohneNull", "SELECT AufwandVerz.* FROM AufwandVerz WHERE Coalesce(Satz, 0) <> 0 "
                                    "ORDER BY Positionsnummer, LfNr"},
        {"AufwandVerzAldispSatzohneNull",
         "SELECT AufwandVerz.* FROM AufwandVerz WHERE Coalesce(AlDispSatz, 0) <> 0 "
         "ORDER BY Positionsnummer, LfNr"},
    };
    const char* kinds[] = {"DrHOAIAngebote",
                           "DrHOAIRechnungen",
                           "DrHOAIRechnungörtlicheBauleitungl",
                           "DrHOAIRechnungZusammenstell",
                           "DrHOAIStdRechnungen",
                           "DrHOAIVergAngebot",
                           "DrHOAIVergRechnung"};
    for (int k = 0; k < 7; ++k)
        q.push_back({kinds[k], "SELECT DruckVorlagen.* FROM DruckVorlagen WHERE Dokumentart = " +
                                   std::to_string(k + 1) + " ORDER BY Bezeichnung, LFNR"});
    return q;
}

} // namespace

const std::vector<StoredQuery>& QueryDefs::Projekt() {
    static const std::vector<StoredQuery> q = MakeProjekt();
    return q;
}

const std::vector<StoredQuery>& QueryDefs::Stamm() {
    static const std::vector<StoredQuery> q = MakeStamm();
    return q;
}

const StoredQuery* QueryDefs::Find(const std::vector<StoredQuery>& queries, std::string_view name) {
    for (const auto& q : queries)
        if (EqualsNoCase(q.name, name)) return &q;
    return nullptr;
}

std::vector<std::string> QueryDefs::Parameters(std::string_view sql) {
    std::vector<std::string> out;
    bool inString = false;
    for (size_t i = 0; i < sql.size(); ++i) {
        char ch = sql[i];
        if (ch == '\'') inString = !inString;
        if (inString || ch != ':') continue;
        size_t j = i + 1;
        while (j < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_'))
            ++j;
        if (j == i + 1) continue;
        std::string name(sql.substr(i + 1, j - i - 1));
        bool seen = false;
        for (const auto& o : out)
            seen = seen || EqualsNoCase(o, name);
        if (!seen) out.push_back(name);
        i = j - 1;
    }
    return out;
}

} // namespace velu
