/* Identifiers of the launcher's resources, shared by velmora.rc and the C++
   code.  Only #define lines: windres reads this file too.  The numbers are
   fixed; other programs and older builds know the dialogs by them. */

/* Dialog templates. */
#define IDD_MAIN 108
#define IDD_WORKER 122
#define IDD_NEWS_STRIP 143
#define IDD_MESSAGE_HISTORY 150
#define IDD_TEXT_VIEWER 152

/* Main dialog (108): the six module buttons. */
#define IDC_BUTTON_VANTOR 1006
#define IDC_BUTTON_KELBAR 1007
#define IDC_BUTTON_QUILLON 1008
#define IDC_BUTTON_SALARII 1009
#define IDC_BUTTON_MIJLOACE_FIXE 1010
#define IDC_BUTTON_ERP_SETUP 1011

/* Main dialog (108): the other controls.  OK and Cancel are IDOK (1) and
   IDCANCEL (2). */
#define IDC_BUTTON_F2 1041
#define IDC_BUTTON_UPDATE 1025
#define IDC_UPDATE_BACKGROUND 1027
#define IDC_UPDATE_TEXT 1028
#define IDC_UPDATE_ICON 1029
#define IDC_NEWS_HOST 1030
#define IDC_LEFT_PANEL 1050
#define IDC_NO_SLIDES_PICTURE 30003
#define IDC_SLIDE_AREA 1045
#define IDC_SLIDE_CAPTION 1049
#define IDC_MESSAGE_EDIT 1047
#define IDC_BUTTON_SEND 1048
#define IDC_BUTTON_HISTORY 1051
#define IDC_BUTTON_ASSISTANT 1014
#define IDC_ASSISTANT_HINT 1052
#define IDC_ASSISTANT_SEPARATOR 1056

/* News strip (143), a child dialog inside IDC_NEWS_HOST. */
#define IDC_NEWS_TEXT 1031
#define IDC_NEWS_EUR 1032
#define IDC_NEWS_USD 1033
#define IDC_NEWS_DATE 1034
#define IDC_NEWS_WEATHER 1035
#define IDC_NEWS_GROUP_TEXT 1036
#define IDC_NEWS_GROUP_RATES 1037
#define IDC_NEWS_GROUP_WEATHER 1038
#define IDC_NEWS_EUR_EMBLEM 1039
#define IDC_NEWS_USD_EMBLEM 1040

/* Hidden worker dialog (122) of the news and postman threads: the command
   that stops the news fetch (it has no control of its own). */
#define IDC_WORKER_STOP 1042

/* Message history (150). */
#define IDC_HISTORY_TITLE 1031
#define IDC_HISTORY_LIST 1023
#define IDC_HISTORY_DETAIL 1043

/* Text viewer (152). */
#define IDC_VIEWER_TEXT 1043

/* Bitmaps. */
#define IDB_VANTOR 103
#define IDB_KELBAR 104
#define IDB_QUILLON 105
#define IDB_SALARII 106
#define IDB_MIJLOACE_FIXE 107
#define IDB_ERP_SETUP 108
#define IDB_NO_SLIDES 134
#define IDB_UPDATE 142
#define IDB_EURO 144
#define IDB_USD 145
#define IDB_LEFT_PANEL 146

/* WAVE sounds (resource type "WAVE"). */
#define IDW_NEW_MESSAGE 151
#define IDW_GREETING_A 154
#define IDW_GREETING_B 155

/* Named resources: the application icon and the hand cursor. */
#define RES_ICON_VELMORA "VELMORA"
#define RES_CURSOR_POINT "IDC_POINT"
#define RES_TYPE_WAVE "WAVE"

/* Class of the message list, registered by the list control. */
#define LIST_CLASS_NAME "ListCorvane"
