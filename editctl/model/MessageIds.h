#pragma once
// Ids of the control's message texts in its string table (EditCtl.rc).

namespace quill {

enum MessageId : int {
    kMsgAskSave = 1001,          // "%s modified!\nDo you wish to save it first?"
    kMsgLoadError = 1002,        // "Error loading the file\n\n\"%s\""
    kMsgSaveError = 1003,        // "Error saving the file\n\n\"%s\""
    kMsgAbout = 1004,            // the About text
    kMsgConfigError = 1008,
    kMsgUnknownCommand = 1014,
    kMsgTabRange = 1018,
    kMsgOutsideBlock = 1019,
    kMsgTrackRange = 1020,
    kMsgArgumentsRequired = 1023,
    kMsgOutOfMemory = 1024,
    kMsgEndBlockAlone = 1025,
    kMsgEndKeywordsAlone = 1026,
    kMsgCaretTypeRange = 1028,
    kMsgDefaultOnly = 1029,
    kMsgFileModeRange = 1030,
    kMsgUndoSizeRange = 1031,
    kMsgBadKey = 1035,
    kMsgEndKeyAlone = 1036,
    kMsgOutsideKey = 1037,
    kMsgBadArgument = 1038,
    kMsgUnknownCode = 1039,
    kMsgKeyAgain = 1040,
    kMsgBackupModeRange = 1041,
    kMsgBackupFailed = 1042,
    kMsgBadFont = 1043,
    kMsgColumnMarkerRange = 1050,
    kMsgInternalError = 1051,    // "Internal Error:\n%s"
};

} // namespace quill
