// Whether the computer reports a network connection.
#pragma once

bool IsConnected();

// Tests put their own connection state in place of the system's; null
// restores the system's query.
using ConnectionStateQuery = bool (*)();
void SetConnectionStateQuery(ConnectionStateQuery query);
