// The panorama plug-in's own string table.
#pragma once

#define IDS_PANORAMA_KEY 3004 // the panorama program's machine-wide key
#define IDS_PANORAMA_VALUE 3005 // its value that names the program
#define IDS_FORMAT_NOT_SUPPORTED 3008 // the box's text before the path
