#pragma once

// The decimal number at the start of text: optional white space and sign,
// digits with an optional decimal point and exponent. Reading stops at the
// first character that does not fit; text that does not start with a number
// gives 0. Independent of the C locale (hosts may set a comma decimal point).
double ReadLeadingNumber(const char* text);

// The same reading, answering whether the text starts with a number at all.
bool ReadLeadingNumber(const char* text, double& value);
