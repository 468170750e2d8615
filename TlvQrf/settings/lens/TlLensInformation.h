// The correction data of one supported lens: a lens code and four curves of
// 4096 doubles each, read from the lens's data file (the record's stored
// form) and shared by the filters that correct the lens. The users of one
// object register as its clients; an optional manager hears of every change
// of the client list, and without one the object deletes itself when its
// client count falls to the process-wide keep count.
#pragma once

#include "infra/TlSync.h"
#include "settings/record/TlState.h"

#include <cstdint>
#include <memory>
#include <vector>

class IKelvraTagControl;

class CTlLensInformation : public ITlState {
public:
    // Told after every change of an object's client list, while the class
    // lock is held.
    class IMgr {
    public:
        virtual void OnClientsChanged(CTlLensInformation* lens, int clientCount) = 0;

    protected:
        ~IMgr() = default;
    };

    // The capture tag that names the lens (31 bytes): a version of four
    // characters, then the lens's codes at places the version decides.
    static constexpr std::uint32_t kLensDataTag = 0x80098;
    static constexpr std::uint32_t kLensDataSize = 31;
    static constexpr int kTableCount = 4;
    static constexpr int kTableEntries = 4096;
    // The one lens with a data file.
    static constexpr std::uint8_t kSupportedLensCode = 128;
    // Room of the path buffer that GetLensFilePath fills, terminator included.
    static constexpr int kPathCapacity = 260;
    static constexpr int kStoredSize = 131095;

    CTlLensInformation();
    // Copies the lens code and the tables, not the clients or the manager.
    CTlLensInformation(const CTlLensInformation& other);
    CTlLensInformation& operator=(const CTlLensInformation& other);
    // Virtual so that an object deleting itself is destroyed whole.
    virtual ~CTlLensInformation();

    // Without tables (a rejected lens file, a fresh object) there is nothing
    // to store: the result is 0 and nothing is written.
    int Save(unsigned char* buffer, int size) override;
    // Accepts only a whole version-2 block of exactly kStoredSize bytes. Any
    // other block with this id is refused (0) and leaves the object without
    // tables; a block shorter than the id or with another id changes nothing.
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    // The four tables (null while there are none): the two output-to-source
    // curves, then the two source-to-output curves.
    void GetLensData(const double** table1, const double** table2, const double** table3,
                     const double** table4) const;
    bool HasTables() const { return m_tables != nullptr; }
    // Copies four tables of kTableEntries values (a null table reads as
    // zeros). False, with the object left without tables, when memory runs out.
    bool SetLensData(const double* table1, const double* table2, const double* table3, const double* table4);

    std::uint8_t GetLensCode() const { return m_lensCode; }
    void SetLensCode(std::uint8_t code) { m_lensCode = code; }

    // The lens code of the lens that took the picture with these tags; 0 for
    // an unknown lens or when no tags are given.
    static std::uint8_t IdentifyLens(const IKelvraTagControl* tags);
    // The data file of `lensCode` in the shared profiles folder, into `path`
    // (kPathCapacity characters). 0 on success; -1, writing nothing, for an
    // unsupported code, a null buffer or a path that would not fit.
    static int GetLensFilePath(char* path, int lensCode);

    void SetClient(IMgr* manager);
    // False when the list could not grow (out of memory); the user is then
    // not registered and nobody is told.
    bool AddClient(void* user);
    // Removes the first registration of `user`; a user that is not
    // registered changes nothing. The object may delete itself here (see
    // the class comment): the caller must not touch it afterwards.
    void RemoveClient(void* user);
    int GetClientCount() const;

    // The client count at or below which an object without a manager
    // deletes itself. 0 at start; the fisheye correction sets it.
    static int GetKeepCount();
    static void SetKeepCount(int count);
    // The process-wide lock "CTlLensInformation" over every client list.
    static Tl::CSyncBase& GetClassLock();

private:
    double* Table(int index) const { return m_tables.get() + index * kTableEntries; }
    void CopyDataFrom(const CTlLensInformation& other);

    std::uint8_t m_lensCode = 0;
    // All four tables in one block, one after the other, or none.
    std::unique_ptr<double[]> m_tables;
    std::vector<void*> m_clients;
    IMgr* m_manager = nullptr;
};
