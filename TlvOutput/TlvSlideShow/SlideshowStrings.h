// String ids of the slideshow's own table.
#pragma once

#define IDS_SLIDESHOW_SECTION 1017
#define IDS_LAST_SETTINGS 4001
