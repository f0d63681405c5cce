#pragma once
// The stored queries of the project database (shipped in the template) and of the master database, written
// into each database's "_QueryDefs" table when it is created. Parameters are named (":BerListNr"); a query
// that its caller binds by position (GetLeistungsbild, GetInfoTafelverz, GetAkLeistungsbild, SetLastUsed)
// uses "?1" instead.
//
// Units: currency, percent and quantity columns hold ten-thousandths, so sums of them are ten-thousandths
// again (read them with GetCY). No query multiplies two such values; the twins made by the migration divide
// one by 1.95583 and round to a whole ten-thousandth.
#include <string>
#include <string_view>
#include <vector>

namespace velu {

struct StoredQuery {
    std::string name;
    std::string sql;
};

class QueryDefs {
public:
    static const std::vector<StoredQuery>& Projekt();
    static const std::vector<StoredQuery>& Stamm();
    static const StoredQuery* Find(const std::vector<StoredQuery>& queries, std::string_view name);
    // The named parameters of a query text, without the colon, in order of first use.
    static std::vector<std::string> Parameters(std::string_view sql);
};

} // namespace velu
