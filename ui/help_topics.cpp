// The help topics the program can show without its help file: the topic's text in a message
// box, so a help button always answers (the help file is not shipped with every installation).
#include "ui/ui.h"

#include <string.h>

struct HelpTopicText {
    const char *topic;   // the topic's page in the help file
    const char *title;
    const char *text;
};

static const HelpTopicText kHelpTopics[] = {
    {"html\\importing_data.htm", "Help - Importing Data",
     "Importing rows into a statement\r\n\r\n"
     "1. Save the rows from your spreadsheet or brokerage program as a comma-delimited (*.csv) or "
     "tab-delimited (*.txt) text file. Semicolons also separate the pieces of a line.\r\n\r\n"
     "2. Each line is one row of the statement, with one piece per column, in the order of the "
     "statement's columns. A first line with the column titles is recognised and can be skipped. "
     "Lines that begin with // are comments and are not imported.\r\n\r\n"
     "3. Text that holds a comma must be written in double quotes: \"Smith, John\" is imported as "
     "John Smith and \"1,200\" as 1200.\r\n\r\n"
     "4. Click the import button on the form and choose the file. Up to 1,000 rows are imported; the "
     "imported rows are shown in the statement, where you check them and click OK.\r\n\r\n"
     "Only plain text (ANSI) files can be imported: save Unicode files again as CSV."},
    {"html\\import_files_f94x.htm", "Help - Importing Schedule R Data",
     "Importing the client list of Schedule R\r\n\r\n"
     "Save the client list as a comma- or tab-delimited text file with one client per line and the "
     "pieces of each line in the order of the Schedule R columns (the client's EIN first). A first line "
     "with the column titles is recognised and can be skipped; lines that begin with // are comments.\r\n\r\n"
     "Click the import button on Schedule R and choose the file. Up to 1,000 clients are imported "
     "into the statement, where you check them and click OK."},
};

int ShowBuiltInHelpTopic(HWND owner, const char *topic)
{
    if (!topic)
        return 0;
    for (const HelpTopicText &t : kHelpTopics)
        if (_stricmp(t.topic, topic) == 0) {
            ShowMessageBox(owner, t.text, t.title, MB_OK | MB_ICONINFORMATION);
            return 1;
        }
    return 0;
}
