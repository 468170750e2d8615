// A plug-in file that lacks the entry: hosts must refuse it.
extern "C" __declspec(dllexport) int TlNoEntryPluginMarker()
{
    return 1;
}
