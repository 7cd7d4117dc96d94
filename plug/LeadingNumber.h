#pragma once

// The decimal number at the start of text: optional white space and sign,
// digits with an optional decimal point and exponent. Reading stops at the
// first character that does not fit; text that does not start with a number
// gives 0. Independent of the C locale (hosts may set a comma decimal point).
double ReadLeadingNumber(const char* text);

// The same reading, answering whether the text starts with a number at all;
// end, when given, receives the first character after the number.
bool ReadLeadingNumber(const char* text, double& value, const char** end = nullptr);

// A number followed by text that carries on a notation this reading does not
// know ("0x10", "1/64", "2,5", "1.2.3"): taking its start would take another
// value than the one written.
bool NumberGoesOn(const char* end);

// A whole index written as decimal digits alone, white space around allowed
// ("12", " 3 "; not "3.0", "-1", "5 bars"); false when above limit.
bool ReadWholeIndex(const char* text, int limit, int& index);
