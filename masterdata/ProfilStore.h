#pragma once
// The service-profile templates of the master database (Leistungsbilder) without widgets: a profile as the
// editor shows it, its write by number, copy and delete, and the captions of the fee-table menu.
//
// The editor shows and writes phases 1 to 9; phase 10 is never written here and a copy keeps it. A
// calculation keeps its own copy of its profile, so deleting a template changes no calculation.
#include "masterdata/TafelStore.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velu::masterdata {

struct ProfilDaten {
    std::string parag;        // XtraText4(0)
    std::string bez;          // XtraText4(1), ParagBezeichnung
    std::string hoaiTafel;    // XtraText4(2)
    std::string hoaiTafelBez; // XtraText4(3)
    std::string punktekat;    // XtraText4(4)
    int64_t tafelNr = 0;      // HoaiTafelZuordnung
    int64_t punkteNr = 0;     // Punktekatzuordnung
    // Phases 1 to 9 as typed: name, percentage and group (empty = Null).
    std::array<std::string, 9> leistung;
    std::array<std::string, 9> proz;
    std::array<std::string, 9> gruppe;
    // 1 "Währung", 2 "ha", 3 "VE"; unset: no option selected, the stored value stays.
    std::optional<int> einheit;
    std::array<int, 3> check{}; // Integrationspl, Kontenplan, Anlagegruppen (0/1)
    bool builtIn = false;       // STDLeistungbild, read only
};

class ProfilStore {
public:
    explicit ProfilStore(db::Database& stamm) : db_(stamm) {}

    static constexpr int KopieBezLaenge = 50;

    struct Eintrag {
        int64_t lfnr;
        std::string bez;
    };
    // Profiles of the current regulation (alt Null or 0) or of 1991, through LoadLeistungsbilder.
    std::vector<Eintrag> Profile(const db::Value& alt);
    std::optional<ProfilDaten> Laden(int64_t lfnr);
    // Writes the profile of that number; a percentage or group that is no number refuses the whole write
    // with "Die Eingabe muss nummerisch sein", shares that do not add up to 100 % with SummenMeldung.
    Meldung Speichern(int64_t lfnr, const ProfilDaten& d);
    // Every calculation bills the profile's shares of the full fee, so phases 1 to 9 as typed and the stored
    // phase 10 must add up to exactly 100 %: otherwise the message naming their sum. Nothing for a text that
    // is no number (Speichern refuses that first).
    Meldung SummenMeldung(int64_t lfnr, const ProfilDaten& d);
    // A copy with every field but the counter; not built in, current regulation, not last used, named
    // "Kopie von " & the name, cut to 50 characters. The new number.
    std::variant<int64_t, std::string> CopyLBild(int64_t lfnr);
    // Deletes a profile that is not built in.
    Meldung Loeschen(int64_t lfnr);

    // The menu entry of a fee table: "§ ", the short name padded or cut to 3 characters, two blanks, the
    // name. KurzAus and BezAus read short name and name back from it.
    static std::string MenueCaption(const std::string& kurz, const std::string& bez);
    static std::string KurzAus(const std::string& caption);
    static std::string BezAus(const std::string& caption);

    // Typed percentage or group: empty is Null, a number its stored value, anything else nothing.
    static std::optional<db::Value> ProzentWert(const std::string& text);
    static std::optional<db::Value> GruppeWert(const std::string& text);
    // The stored values as the fields show them ("General Number": no trailing zeros, decimal comma).
    static std::string ProzentText(const db::Value& v);
    static std::string GruppeText(const db::Value& v);

    static const char* const MeldungNummerisch;

private:
    db::Database& db_;
};

} // namespace velu::masterdata
