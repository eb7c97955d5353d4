// Numeric ids of the program's resources: the string table, the skin images and the icon.
#pragma once

// Strings (texts in string_table.cpp).
enum StringId : int {
    IDS_ABOUTBOX = 101,           // the about item of the window menu
    IDS_HOME_PAGE = 20100,        // home page address (HOME button, about box link)
    IDS_WEB_PAGE = 20101,         // product page address (HELP button, update notice)
    IDS_VERSION = 20103,          // the program's own version
    IDS_NEW_VERSION = 20104,      // first part of the update notice
    IDS_READ_ONLY_PATH = 20108,   // output folder cannot be written
    IDS_STOP_FIRST = 20109,       // closing while converting
    IDS_READING_FILE_INFO = 20110, // wait dialog while files are probed
    IDS_ABOUT_TITLE = 21001,
    IDS_ABOUT_PRODUCT = 21002,
    IDS_ABOUT_COPYRIGHT = 21003,
    IDS_ABOUT_MAKER = 21004,
    IDS_PRODUCT_NAME = 25003,     // sent with the install ping
    IDS_VERSION_QUERY_URL = 25004,
    IDS_PRODUCT_CODE = 25007,     // sent with the version query
    IDS_INSTALL_PING_URL = 25010,
};

// Skin images of type "WXPNG": 8-bit RGBA PNGs, drawn at their pixel size.
enum SkinPngId : int {
    IDP_MIN = 10001,         // 13 x 6
    IDP_CLOSE = 10002,       // 16 x 14
    IDP_OPEN_FILE = 10003,   // 117 x 44
    IDP_DELETE_FILE = 10004, // 103 x 44
    IDP_CLEAR = 10005,       // 95 x 44
    IDP_SETTING = 10006,     // 73 x 23
    IDP_START = 10007,       // 78 x 78
    IDP_OPEN = 10009,        // 59 x 23
    IDP_BROWSE = 10010,      // 73 x 23
    IDP_STOP = 10011,        // 78 x 78
    IDP_HOME = 10014,        // 33 x 12
    IDP_HELP = 10015,        // 27 x 14
};

// 24-bit bitmaps.
enum SkinBitmapId : int {
    IDB_BACKGROUND = 10000,     // 600 x 500 main window; the key colour lies outside its outline
    IDB_SLIDER_NORMAL = 10100,  // 458 x 15 progress channel
    IDB_SLIDER_ACTIVE = 10101,  // 458 x 15 progress channel, done part
};

// The application icon (several sizes under one id).
inline constexpr int IDI_APP_ICON = 9999;
