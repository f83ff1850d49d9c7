// The root object of the stand-in host library.
//
// It reads the catalog afresh whenever it is asked for collections, so that
// collections qmhost adds while the tool runs show up, and keeps every
// collection it has opened, so that one collection is one open file and
// one object however often it is asked for.
#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>

#include "host/lib/host_install.h"
#include "hostlib/host_library.h"

namespace qm::host {

class SqliteCollection;

class SqliteApplication : public HostApplication,
                          public std::enable_shared_from_this<SqliteApplication> {
 public:
  explicit SqliteApplication(hostadmin::HostInstall install);
  ~SqliteApplication() override;

  std::shared_ptr<HostCollection> DefaultCollection() override;
  std::shared_ptr<HostCollectionList> Collections() override;
  std::shared_ptr<HostFolder> ChooseFolder(QWidget* owner, const QString& caption,
                                           const QString& prompt, std::int32_t flags,
                                           std::int32_t& left, std::int32_t& top,
                                           std::int32_t& width, std::int32_t& height,
                                           std::int32_t reserved1, std::int32_t reserved2,
                                           std::int32_t reserved3, std::int32_t reserved4) override;

  // The collection with this ID; throws kUnknownCollection.
  std::shared_ptr<SqliteCollection> OpenCollection(std::int32_t id);

  const hostadmin::HostInstall& install() const { return install_; }

 private:
  hostadmin::HostInstall install_;
  std::map<std::int32_t, std::shared_ptr<SqliteCollection>> open_;
};

}  // namespace qm::host
