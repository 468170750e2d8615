// The process-wide use counts of the images and tag controls that the
// library's holders share: loads, image jobs and save tasks each register an
// object once when they keep it and release it once when they drop it. Only
// the owner releases with the flag that frees the object at its last use.
// Both registries are guarded by one recursive lock, since loads run on the
// host's thread while image jobs run on the worker.
#pragma once

class IKelvraImage;
class IKelvraTagControl;

// Adds one use; an image not yet present enters with one.
void RegisterImage(IKelvraImage* image);
// Drops one use and returns the uses left (0 for an image that is not
// registered, which changes nothing). At the last use the entry goes and,
// with `release`, the image is released and `temporaryFile` (when not null)
// is deleted, failures ignored.
long ReleaseRegisteredImage(IKelvraImage* image, const char* temporaryFile, bool release);

// The same for tag controls, which are destroyed at their last use when
// `destroy` is set.
void RegisterObject(IKelvraTagControl* object);
long ReleaseRegisteredObject(IKelvraTagControl* object, bool destroy);

// What the registries hold now: entries, and the uses of one entry (0 when
// absent).
long RegisteredImageCount();
long RegisteredObjectCount();
long ImageUseCount(const IKelvraImage* image);
long ObjectUseCount(const IKelvraTagControl* object);

// Makes the registries the ones the settings holders release through,
// keeping the other hooks.
void InstallObjectRegistry();
