#pragma once
// A one-line field never holds a line break: a line break or tab that is pasted, dropped or typed into any
// line edit of the program becomes a blank (a CR LF pair one blank) and other control characters are
// dropped, before the form sees the text. A name pasted from a letter ("Kita Nord⏎Bauteil B") would
// otherwise be stored with its line feed: one line in the field, two in the project list, and a line of its
// own in the archive's description of a backup.
namespace velu::forms {

// Gives every line edit of the application that has no validator of its own one that cleans what the user
// puts in this way, as each is first shown; a form's own validator takes the place of this one. Text the
// program sets stays as it is. Safe to call more than once.
void EinzeiligeFelderEinrichten();

} // namespace velu::forms
