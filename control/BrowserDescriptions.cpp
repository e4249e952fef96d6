#include "control/BrowserDescriptions.h"

#include <algorithm>

namespace tamarind {

const std::vector<MemberDescription>& KestrelMemberDescriptions() {
  // The control's own members carry their own texts; the ones that mirror a property of an inner
  // control carry that property's usual description.
  static const std::vector<MemberDescription> table = [] {
    std::vector<MemberDescription> t = {
        {"AllowColumnReorder", "Returns or sets whether the user can reorder the columns by dragging their headers."},
        {"Appearance", "Returns or sets whether the list is drawn flat or with 3-D effects."},
        {"AutoSort", "True/False.  True will cause the listview to sort automaticly when a columnheader is clicked."},
        {"BackColor", "Returns or sets the background color of the list."},
        {"BorderStyle", "Returns or sets the border style of the list."},
        {"CalendarBackColor", "Returns or sets the background color of the drop-down month calendar."},
        {"CalendarForeColor", "Returns or sets the text color of the drop-down month calendar."},
        {"CalendarTitleBackColor", "Returns or sets the background color of the month calendar's title."},
        {"CalendarTitleForeColor", "Returns or sets the text color of the month calendar's title."},
        {"CalendarTrailingForeColor", "Returns or sets the color of the days of the previous and next months."},
        {"Checkboxes", "Returns or sets whether each item shows a check box."},
        {"ColOrderAppName",
         "Used with ColOrderSettingName.  When both are set, it will cause the ListView to store the column order "
         "thus enabling the use of the ResotreColumnOrder method."},
        {"ColOrderSettingName",
         "Used with ColOrdeAppName.  When both are set, it will cause the ListView to store the column order thus "
         "enabling the use of the ResotreColumnOrder method."},
        {"DropDelay",
         "milSec to wait after showing the combo box used in order to have DropLines perform properly.  If you have "
         "problems with a value greater than 8 in DropLines, attempt to raise this value."},
        {"DropLines", "Number of lines to view in the drop down list when displayed.  Minimum is 8"},
        {"DropWidth", "Returns or sets the width of the comboboxes drop list (in points not twips)"},
        {"Enabled", "Returns or sets whether the control responds to user input."},
        {"Font", "Returns or sets the font of the list and its editors."},
        {"ForeColor", "Returns or sets the text color of the list and its editors."},
        {"FullRowSelect", "Returns or sets whether a selected item is highlighted across all its columns."},
        {"GridLines", "Returns or sets whether grid lines are drawn between rows and columns."},
        {"HideColumnHeaders", "Returns or sets whether the column headers are hidden."},
        {"HideSelection", "Returns or sets whether the selection is hidden while the list does not have the focus."},
        {"LabelWrap", "Returns or sets whether item labels wrap."},
        {"LineAltColor",
         "True/False. Toggles the use of alternating line colors.  Note, when true it will override the Picture "
         "Property."},
        {"LineEvenColor", "Color for Even numbered lines.  See LineAltColor."},
        {"LineOddColor", "Color for Odd numbered lines.  See LineAltColor."},
        {"MultiSelect", "Returns or sets whether more than one item can be selected."},
        {"PlaySounds", "True/False.  True will play built in sound effects for sort, dropdown and change complete."},
        {"SmartColumnSort",
         "True/False.  Used in conjuction with AutoSort.  When both are true, the autosort will cause a sort to "
         "happen, while smartcolumnsort will cause detection of proper numeric, date, and/or string sorting."},
        {"SortArrowSize",
         "Used with SortArrowDown[Up]Picture Properties.  Tells the height of your custom arrow images."},
        {"SortArrowUpPicture", "Set a custom Up Arrow image for column sorting."},
        {"SortArrows", "Enable or disable the use of sort icons in the headers."},
        {"SortKey", "Returns or sets the column the list is sorted by."},
        {"SortOrder", "Returns or sets whether the list is sorted ascending or descending."},
        {"Sorted", "Returns or sets whether the list keeps its items sorted."},
        {"SubItemClicked", "Returns or sets the column of the cell last clicked.", false},
        {"TabCaptions", "Pipe (|) delimited string for tabs to display."},
        {"TabPlacement", "Posistion the Tabs on top or bottom"},
        {"TabStyle", "Style for Tabs.  Tab/Button/Flat"},
        {"Tabs", "Display Tabs Yes/No.  Cannot use with Titlebar set to True."},
        {"TitleCaption", "Caption to appear on title bar when visible."},
        {"TitleHeight", "Hight of title bar when visible in twips."},
        {"View", "Returns or sets how the list shows its items."},
    };
    std::sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return t;
  }();
  return table;
}

std::optional<MemberDescription> DescribeKestrelMember(std::string_view name) {
  const auto& t = KestrelMemberDescriptions();
  auto it = std::lower_bound(t.begin(), t.end(), name, [](const auto& m, std::string_view n) { return m.name < n; });
  if (it == t.end() || it->name != name) return std::nullopt;
  return *it;
}

}  // namespace tamarind
