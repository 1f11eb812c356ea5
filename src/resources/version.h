/* The launcher's version, as shown in its file properties.  Only #define
   lines: windres reads this file too. */
#define VELMORA_VERSION_MAJOR 1
#define VELMORA_VERSION_MINOR 0
#define VELMORA_VERSION_PATCH 0
#define VELMORA_VERSION_BUILD 0
#define VELMORA_VERSION_TEXT "1.0.0.0"
