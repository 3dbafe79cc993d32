#include "platform/rtl/FormatSettings.h"

#include "platform/rtl/Exceptions.h"

namespace vel {

TFormatSettings TFormatSettings::Create(const std::string& name) {
    TFormatSettings fs;
    if (name == "en-US" || name.empty()) return fs;
    if (name == "invariant") {
        fs.CurrencyString = "\xC2\xA4";  // ¤
        fs.CurrencyFormat = 0;
        fs.ShortDateFormat = "MM/dd/yyyy";
        fs.LongDateFormat = "dddd, dd MMMM yyyy";
        fs.ShortTimeFormat = "HH:mm";
        fs.LongTimeFormat = "HH:mm:ss";
        return fs;
    }
    if (name == "en-GB") {
        fs.CurrencyString = "\xC2\xA3";  // £
        fs.NegCurrFormat = 1;
        fs.ShortDateFormat = "dd/MM/yyyy";
        fs.LongDateFormat = "dd MMMM yyyy";
        fs.ShortTimeFormat = "hh:mm";
        fs.LongTimeFormat = "hh:mm:ss";
        return fs;
    }
    if (name == "de-DE") {
        fs.CurrencyString = "\xE2\x82\xAC";  // €
        fs.CurrencyFormat = 3;
        fs.NegCurrFormat = 8;
        fs.ThousandSeparator = '.';
        fs.DecimalSeparator = ',';
        fs.DateSeparator = '.';
        fs.ListSeparator = ';';
        fs.ShortDateFormat = "dd.MM.yyyy";
        fs.LongDateFormat = "dddd, d. MMMM yyyy";
        fs.ShortTimeFormat = "hh:mm";
        fs.LongTimeFormat = "hh:mm:ss";
        fs.TimeAMString = "";
        fs.TimePMString = "";
        fs.ShortMonthNames = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                              "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
        fs.LongMonthNames = {"Januar", "Februar", "M\xC3\xA4rz", "April",   "Mai",      "Juni",
                             "Juli",   "August",  "September",   "Oktober", "November", "Dezember"};
        fs.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
        fs.LongDayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                           "Donnerstag", "Freitag", "Samstag"};
        return fs;
    }
    if (name == "fr-FR") {
        fs.CurrencyString = "\xE2\x82\xAC";
        fs.CurrencyFormat = 3;
        fs.NegCurrFormat = 8;
        fs.ThousandSeparator = ' ';
        fs.DecimalSeparator = ',';
        fs.ListSeparator = ';';
        fs.ShortDateFormat = "dd/MM/yyyy";
        fs.LongDateFormat = "dddd d MMMM yyyy";
        fs.ShortTimeFormat = "HH:mm";
        fs.LongTimeFormat = "HH:mm:ss";
        fs.TimeAMString = "";
        fs.TimePMString = "";
        fs.ShortMonthNames = {"janv.", "f\xC3\xA9vr.", "mars",  "avr.", "mai",  "juin",
                              "juil.", "ao\xC3\xBBt",  "sept.", "oct.", "nov.", "d\xC3\xA9" "c."};
        fs.LongMonthNames = {"janvier", "f\xC3\xA9vrier", "mars",    "avril",    "mai",
                             "juin",    "juillet",        "ao\xC3\xBBt", "septembre", "octobre",
                             "novembre", "d\xC3\xA9" "cembre"};
        fs.ShortDayNames = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
        fs.LongDayNames = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
        return fs;
    }
    if (name == "nl-NL") {
        fs.CurrencyString = "\xE2\x82\xAC";
        fs.CurrencyFormat = 2;
        fs.NegCurrFormat = 12;
        fs.ThousandSeparator = '.';
        fs.DecimalSeparator = ',';
        fs.DateSeparator = '-';
        fs.ListSeparator = ';';
        fs.ShortDateFormat = "d-M-yyyy";
        fs.LongDateFormat = "dddd d MMMM yyyy";
        fs.ShortTimeFormat = "HH:mm";
        fs.LongTimeFormat = "HH:mm:ss";
        fs.TimeAMString = "";
        fs.TimePMString = "";
        return fs;
    }
    if (name == "ko-KR" || name == "ja-JP") {
        fs.CurrencyString = name == "ko-KR" ? "\xE2\x82\xA9" : "\xC2\xA5";
        fs.CurrencyDecimals = 0;
        fs.NegCurrFormat = 1;
        fs.DateSeparator = name == "ko-KR" ? '-' : '/';
        fs.ShortDateFormat = name == "ko-KR" ? "yyyy-MM-dd" : "yyyy/MM/dd";
        fs.LongDateFormat = "yyyy MMMM d dddd";
        fs.ShortTimeFormat = "H:mm";
        fs.LongTimeFormat = "H:mm:ss";
        return fs;
    }
    throw EConvertError("Unknown locale name '" + name + "'.");
}

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

}  // namespace vel
