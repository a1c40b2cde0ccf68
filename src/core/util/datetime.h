// Dates with times as the race files hold them: "yyyy/mm/dd hh:mm:ss" in local race time.
// Held as whole seconds on a plain civil calendar (no time zones, no leap seconds).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisko {

using CivilSeconds = std::int64_t;  // seconds since 1970-01-01 00:00:00 of the civil calendar

CivilSeconds civilFromDate(int year, int month, int day, int hour = 0, int minute = 0,
                           int second = 0);
void dateFromCivil(CivilSeconds t, int& year, int& month, int& day, int& hour, int& minute,
                   int& second);

// Reads "yyyy/mm/dd hh:mm:ss" (also "-" as date separator, one-digit fields and a missing
// seconds part); nullopt when it is not a valid date and time.
std::optional<CivilSeconds> parseDateTime(std::string_view text);

// Writes "yyyy/mm/dd hh:mm:ss".
std::string formatDateTime(CivilSeconds t);

bool isValidDate(int year, int month, int day);

// Adds seconds (rounded to whole ones) to a time; nullopt when they are not finite or the
// result falls outside the years 1 to 9999, which no race file can hold.
std::optional<CivilSeconds> addSeconds(CivilSeconds t, double seconds);

}  // namespace brisko
