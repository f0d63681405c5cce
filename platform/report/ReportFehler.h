#pragma once
// Error codes of the report engine. 53 and 20545 are the numbers callers know from the print engine this
// one stands in for; the rest are ours (docs/report-format.md lists them).
namespace velu::report {

// What one run may make: a list far beyond any office's report is stopped (BerichtZuGross) before it
// exhausts the memory.
inline constexpr long MaxElementeJeLauf = 500000;
inline constexpr long MaxSeitenJeLauf = 5000;

enum Fehler : int {
    Ok = 0,
    VorlageFehlt = 53,           // template file missing or unreadable
    VorlageDefekt = 20500,       // not a template: JSON or structure malformed
    TabelleUnbekannt = 20501,    // the template has no table of that name, or the database lacks it
    SpalteUnbekannt = 20502,     // a column the template uses is missing in the database
    FormelFehler = 20503,        // a formula or selection does not parse or names something unknown
    FormelUnbekannt = 20504,     // the template has no formula of that name
    DatenbankFehlt = 20505,      // a table location cannot be opened (or none is set)
    UnterberichtFehlt = 20506,   // a subreport file missing or malformed
    FehlerBeimAuswerten = 20507, // a formula fails on the data (types, division by zero, overflow)
    SchreibFehler = 20508,       // an export or PDF file cannot be written
    KeinDrucker = 20509,         // no printer to print on
    KeinBericht = 20510,         // no report is open
    DatenbankFehler = 20511,     // the database failed while being read
    BerichtZuGross = 20512,      // a run would make more items or pages than one report may have
    DruckAbgebrochen = 20545,    // the user cancelled the print dialog
};

} // namespace velu::report
