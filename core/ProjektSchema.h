#pragma once
// Tables of the project database Velupro32.mdb and of its template VELUVOR32.MDB.
//
// Column order is part of the schema: BeReList keeps LfNr as its second column, because a calculation is
// copied by position with every column but the second. Print tables (…Print) repeat the layout of the table
// they copy, with a plain key that keeps the source's LfNr. An AFTER INSERT trigger on Leistungsbild links
// the Grunddaten row of the same calculation and plant group to the new profile row (ZuordnungLBTabelle), so
// a copied calculation and a newly applied profile are linked without a second pass.
#include "core/SchemaDef.h"

namespace velu {

class ProjektSchema {
public:
    static const schema::SchemaDef& Get();
    // Tables each filled by a To…Print query: source table and print table.
    struct PrintPair {
        const char* source;
        const char* print;
        const char* killQuery; // empties the print table
        const char* fillQuery; // fills it with one calculation; fillQuery & "AlDisp" from the twins
        const char* keyColumn; // column compared with the calculation number
    };
    static const std::vector<PrintPair>& PrintTables();
};

} // namespace velu
