#pragma once
// The locale that number and date conversions follow. One process-wide default that
// applications and tests may change; every conversion also has an overload taking explicit
// settings.
#include <array>
#include <string>

namespace vel {

struct TFormatSettings {
    std::string CurrencyString = "$";
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    int CurrencyFormat = 0;
    // 0 "($1)" … 15 "(1 $)", the classic sixteen negative currency layouts.
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortTimeFormat = "h:mm AMPM";
    std::string LongTimeFormat = "h:mm:ss AMPM";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",
                                               "May",     "June",     "July",      "August",
                                               "September", "October", "November", "December"};
    // Index 0 is Sunday, as DayOfWeek counts.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    // Two-digit years are placed within this many years before and after today.
    int TwoDigitYearCenturyWindow = 50;

    // Settings for a locale name: "en-US" (the default), "en-GB", "de-DE", "fr-FR", "nl-NL",
    // "ko-KR", "ja-JP" and "invariant". An unknown name raises EConvertError.
    static TFormatSettings Create(const std::string& localeName = "en-US");
    static TFormatSettings Invariant() { return Create("invariant"); }
};

// The process default that conversions without explicit settings use.
TFormatSettings& FormatSettings();

// Restores the process default on destruction (tests switch locales with it).
class TFormatSettingsScope {
public:
    TFormatSettingsScope() : FSaved(FormatSettings()) {}
    explicit TFormatSettingsScope(const TFormatSettings& use) : FSaved(FormatSettings()) {
        FormatSettings() = use;
    }
    ~TFormatSettingsScope() { FormatSettings() = FSaved; }
    TFormatSettingsScope(const TFormatSettingsScope&) = delete;
    TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
    TFormatSettings FSaved;
};

}  // namespace vel
