#pragma once
// Master and project databases for the fee tests, made by the program's own schema code in a fresh
// temporary folder, the master database with the delivered data.
#include "TestDir.h"
#include "core/Currency.h"
#include "platform/db/Database.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velu::fee::test {

struct FeeDbs {
    TestDir dir;
    std::unique_ptr<db::Database> stamm;
    std::unique_ptr<db::Database> projekt;
    FeeDbs();
};

// Fee-table number of the delivered § 35 table: the first one loaded.
inline constexpr int32_t Tafel35 = 1;
void AddTafelRow(db::Database& stamm, int32_t lfnr, Currency akosten, const Currency (&s)[10]);

// A Leistungsbild row of calculation 1 and its key. koZU and proz are the slots 1 to 10 as text lists
// ("1,1,1,1,2,2,2,2,2,0").
struct Profil {
    int32_t tafel = Tafel35;
    int einheit = 1;
    int maxZone = 5;
    Currency minWert = Currency::FromUnits(48895) + Currency::FromRaw(7500);
    Currency maxWert = Currency::FromString("48895750");
    bool mitAnlageGrp = false;
    bool integrationspl = true;
    bool hoaiAlt = false;
    std::string koZU = "1,1,1,1,1,1,1,1,1,0";
    std::string proz = "2,7,15,3,25,10,4,32,2,0";
};
int32_t AddProfil(db::Database& projekt, const Profil& p, int gruppe = 1, int32_t berList = 1);
// The delivered template of the given paragraph ("15" is the old regulation's buildings) with its fee table's
// limits, as a profile row would be copied from it.
Profil DeliveredProfil(db::Database& stamm, const std::string& parag);
// A Grunddaten row for the plant group with zone, rate of section 1 and the given eligible costs.
int32_t AddGrunddaten(db::Database& projekt, int32_t profil, int gruppe, int zone, const char* satz1,
                      const char* kosten1, int32_t berList = 1);

} // namespace velu::fee::test
