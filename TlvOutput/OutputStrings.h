// The output module's own string table.
#pragma once

#define IDS_PLUGIN_PATTERN 14001 // "*.tv7"
#define IDS_SERVICES_FOLDER 14002 // "Talvo\Services"
