#pragma once
// The keys under which the message table holds every text the program
// shows. They are the table's own names: a translated or replaced table
// keeps them, so they never change; the code says them by these names.
#include <array>
#include <string_view>

namespace zorvika::keys {

// The main window, the export, the about, history and growth windows
inline constexpr std::string_view Title = "TITLE";
inline constexpr std::string_view Description = "DESC";
inline constexpr std::string_view Choose = "CHOOSE";
inline constexpr std::string_view VersionHistory = "VERSION";
inline constexpr std::string_view Export = "OUTPUT";
inline constexpr std::string_view Exit = "EXIT";
inline constexpr std::string_view Project = "PROJECT";
inline constexpr std::string_view NameLabel = "NAME";
inline constexpr std::string_view VersionLabel = "VER";
inline constexpr std::string_view ProductLabel = "PRODUCT";
inline constexpr std::string_view DescriptionLabel = "DESCRIPTION";
inline constexpr std::string_view CommentsLabel = "COMM";
inline constexpr std::string_view CompanyLabel = "COMP";
inline constexpr std::string_view CopyrightLabel = "COPY";
inline constexpr std::string_view TrademarksLabel = "MARK";
inline constexpr std::string_view SortPrompt = "PROMPT";
inline constexpr std::string_view ModuleColumn = "MODULE";
inline constexpr std::string_view TypeColumn = "TYPE";
inline constexpr std::string_view TotalsStart = "TOTAL";
inline constexpr std::string_view TotalsModules = "MODULES";
inline constexpr std::string_view TotalsOrder = "ORDER";
inline constexpr std::string_view ExportTitle = "EXPORT";
inline constexpr std::string_view TextFileType = "TEXT";
inline constexpr std::string_view CsvFileType = "CSV";
inline constexpr std::string_view XlsFileType = "XLS";
inline constexpr std::string_view AllFilesType = "ALL";
inline constexpr std::string_view NoSpreadsheet = "EXCEL";
inline constexpr std::string_view Exported = "EXPORT SUCC";
inline constexpr std::string_view NothingToExport = "NO RECORD";
inline constexpr std::string_view AboutTitle = "ABOUT";
inline constexpr std::string_view AboutText = "ABOUT DESC";
inline constexpr std::string_view Mail = "BACK";
inline constexpr std::string_view AboutClose = "CLOSE";
inline constexpr std::string_view Copyright = "COPYRIGHT";
inline constexpr std::string_view Home = "HOME";
inline constexpr std::string_view Tagline = "MEMBER";
inline constexpr std::string_view ProgramVersion = "VERS";
inline constexpr std::string_view HistoryTitle = "HIS";
inline constexpr std::string_view Close = "CW";
inline constexpr std::string_view ProjectLabel = "PROJECT2";
inline constexpr std::string_view VersionBoxLabel = "VERSION2";
inline constexpr std::string_view TotalsLabel = "TOTAL2";
inline constexpr std::string_view NotDeleted = "DEL";
inline constexpr std::string_view Growth = "TREND";
inline constexpr std::string_view GrowthTitle = "TRENDTITLE";
inline constexpr std::string_view Lines = "LINES";
inline constexpr std::string_view FirstVersion = "FROM";
inline constexpr std::string_view SecondVersion = "TO";
inline constexpr std::string_view Difference = "DIFF";
inline constexpr std::string_view Change = "CHANGE";
inline constexpr std::string_view Added = "ADDED";
inline constexpr std::string_view Removed = "REMOVED";

// Runs that can be trusted
inline constexpr std::string_view CopyNotWritten = "NOCOPY";
inline constexpr std::string_view OpenTooLarge = "OPEN LARGE";
inline constexpr std::string_view ProjectUnreadable = "NOPROJECT";
inline constexpr std::string_view NotStored = "NOSAVE";
inline constexpr std::string_view SnapshotUnreadable = "NOREAD";

// Desktop use: file types, tooltips, questions, warnings, keyboard, language
inline constexpr std::string_view Language = "LANGUAGE";
inline constexpr std::string_view ProjectFileTypes = "ALL TYPES";
inline constexpr std::string_view OpenTitle = "OPENTITLE";
inline constexpr std::string_view ProjectFileType = "VBP TYPE";
inline constexpr std::string_view GroupFileType = "VBG TYPE";
inline constexpr std::string_view XlsxFileType = "XLSX";
inline constexpr std::string_view HelpTip = "TIP HELP";
inline constexpr std::string_view ForumTip = "TIP FORUM";
inline constexpr std::string_view HomeTip = "TIP HOME";
inline constexpr std::string_view MailTip = "TIP MAIL";
inline constexpr std::string_view UpdateTip = "TIP UPDATE";
inline constexpr std::string_view AboutTip = "TIP ABOUT";
inline constexpr std::string_view DeleteProjectTip = "TIP DELPROJECT";
inline constexpr std::string_view DeleteVersionTip = "TIP DELVERSION";
inline constexpr std::string_view AskDeleteProject = "ASK DELPROJECT";
inline constexpr std::string_view NoBrowser = "NO BROWSER";
inline constexpr std::string_view NoMailer = "NO MAILER";
inline constexpr std::string_view NoHelp = "NOHELP";
inline constexpr std::string_view ModuleMissing = "PROCMISSING";
inline constexpr std::string_view OpenMissing = "OPEN MISSING";
inline constexpr std::string_view OpenNotFile = "OPEN NOTFILE";
inline constexpr std::string_view OpenFailed = "OPEN FAIL";
inline constexpr std::string_view NotGroup = "NOT GROUP";
inline constexpr std::string_view NotProject = "NOT PROJECT";
inline constexpr std::string_view NoProjects = "NO PROJECTS";
inline constexpr std::string_view ExportFailed = "EXPORT FAIL";
inline constexpr std::string_view CommandFailed = "FAILED";
inline constexpr std::string_view WritingSpreadsheet = "WRITING";
inline constexpr std::string_view SortColumn = "SORT COLUMN";
inline constexpr std::string_view SortNumbers = "SORT NUMBERS";
inline constexpr std::string_view SortBy = "SORT BY";
inline constexpr std::string_view CopyRows = "COPY ROWS";
inline constexpr std::string_view OpenProcedures = "OPEN PROCEDURES";

// Procedures
inline constexpr std::string_view ProcModuleColumn = "PROCMODULE";
inline constexpr std::string_view ProcNameColumn = "PROCNAME";
inline constexpr std::string_view ProcKindColumn = "PROCKIND";
inline constexpr std::string_view ProcLineColumn = "PROCLINE";
inline constexpr std::string_view ProcSpanColumn = "PROCSPAN";
inline constexpr std::string_view ProcCodeColumn = "PROCCODE";
inline constexpr std::string_view ProcLlocColumn = "PROCLLOC";
inline constexpr std::string_view ProcStatementsColumn = "PROCSTMT";
inline constexpr std::string_view ProcCcColumn = "PROCCC";
inline constexpr std::string_view ProcCc2Column = "PROCCC2";
inline constexpr std::string_view ProcDepthColumn = "PROCDEPTH";
inline constexpr std::string_view ProcTotal = "PROCTOTAL";
inline constexpr std::string_view ProcDefinedTwice = "PROCTWICE";
inline constexpr std::string_view ProceduresTitle = "PROCTITLE";
inline constexpr std::string_view AllProcedures = "PROCALL";
inline constexpr std::string_view ThisModule = "PROCONE";
inline constexpr std::string_view ProcDeclares = "PROCDECLARES";
inline constexpr std::string_view ProcEvents = "PROCEVENTS";
inline constexpr std::string_view ProcCcTotal = "PROCCCSUM";
inline constexpr std::string_view ProcCcHighest = "PROCCCMAX";
inline constexpr std::string_view ProcLongest = "PROCLONGEST";

// Importing versions from a git repository
inline constexpr std::string_view ImportTip = "TIP IMPORT";
inline constexpr std::string_view ImportTitle = "IMPORTTITLE";
inline constexpr std::string_view ImportTags = "IMPORTTAGS";
inline constexpr std::string_view ImportEvery = "IMPORTEVERY";
inline constexpr std::string_view ImportProgress = "IMPORTPROGRESS";
inline constexpr std::string_view ImportFailed = "NOREPO";
inline constexpr std::string_view NotInRevisions = "NOIMPORT";
inline constexpr std::string_view ImportElsewhere = "IMPORTOTHER";
inline constexpr std::string_view Imported = "IMPORTDONE";
inline constexpr std::string_view Cancel = "CANCEL";

// The system's common reasons, said inside messages
inline constexpr std::string_view NoSuchFile = "SYS NOFILE";
inline constexpr std::string_view PermissionDenied = "SYS DENIED";
inline constexpr std::string_view NotRegularFile = "SYS NOTFILE";
inline constexpr std::string_view DiskFull = "SYS FULL";
inline constexpr std::string_view NotRepository = "SYS NOREPO";

// Every key, for the checks that a table has a text under each.
inline constexpr std::array all = {
    Title, Description, Choose, VersionHistory, Export, Exit, Project, NameLabel, VersionLabel, ProductLabel,
    DescriptionLabel, CommentsLabel, CompanyLabel, CopyrightLabel, TrademarksLabel, SortPrompt, ModuleColumn,
    TypeColumn, TotalsStart, TotalsModules, TotalsOrder, ExportTitle, TextFileType, CsvFileType, XlsFileType,
    AllFilesType, NoSpreadsheet, Exported, NothingToExport, AboutTitle, AboutText, Mail, AboutClose,
    Copyright, Home, Tagline, ProgramVersion, HistoryTitle, Close, ProjectLabel, VersionBoxLabel, TotalsLabel,
    NotDeleted, Growth, GrowthTitle, Lines, FirstVersion, SecondVersion, Difference, Change, Added, Removed,
    CopyNotWritten, OpenTooLarge, ProjectUnreadable, NotStored, SnapshotUnreadable, Language,
    ProjectFileTypes, OpenTitle, ProjectFileType, GroupFileType, XlsxFileType, HelpTip, ForumTip, HomeTip,
    MailTip, UpdateTip, AboutTip, DeleteProjectTip, DeleteVersionTip, AskDeleteProject, NoBrowser, NoMailer,
    NoHelp, ModuleMissing, OpenMissing, OpenNotFile, OpenFailed, NotGroup, NotProject, NoProjects,
    ExportFailed, CommandFailed, WritingSpreadsheet, SortColumn, SortNumbers, SortBy, CopyRows,
    OpenProcedures, ProcModuleColumn, ProcNameColumn, ProcKindColumn, ProcLineColumn, ProcSpanColumn,
    ProcCodeColumn, ProcLlocColumn, ProcStatementsColumn, ProcCcColumn, ProcCc2Column, ProcDepthColumn,
    ProcTotal, ProcDefinedTwice, ProceduresTitle, AllProcedures, ThisModule, ProcDeclares, ProcEvents,
    ProcCcTotal, ProcCcHighest, ProcLongest, ImportTip, ImportTitle, ImportTags, ImportEvery, ImportProgress,
    ImportFailed, NotInRevisions, ImportElsewhere, Imported, Cancel, NoSuchFile, PermissionDenied,
    NotRegularFile, DiskFull, NotRepository,
};

} // namespace zorvika::keys
