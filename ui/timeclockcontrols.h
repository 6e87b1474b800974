#pragma once

// The object names of the time-clock window's controls. People and tests find
// the controls by these names, so they stay as they are whatever the members
// behind them are called.
namespace pelmar::controls {

inline constexpr char Window[] = "frmTimeLog";
inline constexpr char Background[] = "Picture1";
inline constexpr char NameList[] = "tdbPersonnel";
inline constexpr char NameCaption[] = "Label1";
inline constexpr char Password[] = "tdbPassword";
inline constexpr char PasswordCaption[] = "Label2";
inline constexpr char GoButton[] = "cmdGo";
inline constexpr char WhereIsButton[] = "cmdWhereIs";
inline constexpr char ReviewButton[] = "cmdReview";
inline constexpr char ClockButton[] = "cmdTimeLog";
inline constexpr char RangeBox[] = "chkLimit";
inline constexpr char DateLabel[] = "lblDate";
inline constexpr char TimeLabel[] = "lblTime";
inline constexpr char InCaption[] = "lblIn";
inline constexpr char InDate[] = "lblDateIn";
inline constexpr char InTime[] = "lblTimeIn";
inline constexpr char OutCaption[] = "lblOut";
inline constexpr char OutDate[] = "lblDateOut";
inline constexpr char OutTime[] = "lblTimeOut";
inline constexpr char TotalHours[] = "lblTotalHours";
inline constexpr char TimeSheet[] = "tdgTimeWorked";
// Ticks once a second to bring the date and time labels up to the clock.
inline constexpr char Timer[] = "Timer1";

} // namespace pelmar::controls
