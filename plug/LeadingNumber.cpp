#include "LeadingNumber.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace {

const char* SkipDigits(const char* p) {
  while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
  return p;
}

// The decimal exponent of the leading significant digit of the digits in
// [start, end) (an optional '.' among them); only called when one is not zero.
long LeadingDigitExponent(const char* start, const char* end) {
  const char* point = std::find(start, end, '.');
  const char* first = start;
  while (first != end && (*first == '0' || *first == '.')) ++first;
  if (first < point) return static_cast<long>(point - first) - 1;
  return -static_cast<long>(first - point);
}

// The exponent's digits, held at a bound far beyond any double's range.
long ReadExponent(const char* digits, const char* end, bool negative) {
  long value = 0;
  for (; digits != end && value < 100000; ++digits) value = value * 10 + (*digits - '0');
  return negative ? -value : value;
}

}  // namespace

double ReadLeadingNumber(const char* text) {
  double value = 0.0;
  ReadLeadingNumber(text, value);
  return value;
}

bool ReadLeadingNumber(const char* text, double& result, const char** endOut) {
  result = 0.0;
  if (endOut) *endOut = text;
  if (!text) return false;
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');

  const char* start = p;
  const char* intEnd = SkipDigits(p);
  const char* end = intEnd;
  bool hasDigits = intEnd != start;
  if (*end == '.') {
    const char* fracEnd = SkipDigits(end + 1);
    hasDigits = hasDigits || fracEnd != end + 1;
    end = fracEnd;
  }
  if (!hasDigits) return false;
  const char* mantissaEnd = end;
  long exponent = 0;
  if (*end == 'e' || *end == 'E') {
    const char* e = end + 1;
    bool negativeExponent = false;
    if (*e == '+' || *e == '-') negativeExponent = (*e++ == '-');
    const char* expEnd = SkipDigits(e);
    if (expEnd != e) {
      exponent = ReadExponent(e, expEnd, negativeExponent);
      end = expEnd;
    }
  }

  double value = 0.0;
  std::from_chars_result r = std::from_chars(start, end, value, std::chars_format::general);
  // Out of range either way: the digits' own position counts as much as the
  // exponent ("0.000...1e5" is tiny, "1000...e-1" is huge).
  if (r.ec == std::errc::result_out_of_range)
    value = LeadingDigitExponent(start, mantissaEnd) + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  else if (r.ec != std::errc())
    value = 0.0;
  result = negative ? -value : value;
  if (endOut) *endOut = end;
  return true;
}

bool NumberGoesOn(const char* end) {
  if (!end) return false;
  if (*end == 'x' || *end == 'X' || *end == '/') return true;
  return (*end == '.' || *end == ',') && std::isdigit(static_cast<unsigned char>(end[1]));
}

bool ReadWholeIndex(const char* text, int limit, int& index) {
  if (!text) return false;
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  const char* digits = p;
  long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) return false;
  }
  if (p == digits) return false;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  if (*p != '\0') return false;
  index = static_cast<int>(value);
  return true;
}
