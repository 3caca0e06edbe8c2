#include "framework/framework_classes.h"

#include "framework/app_data.h"
#include "framework/enum_types.h"
#include "framework/scan_collection.h"
#include "framework/sorted_collection.h"

namespace ravlo {

void RegisterFrameworkClasses() {
    RegisterStreamClass<TrbCollection>();
    RegisterStreamClass<TrbSortedCollection>();
    RegisterStreamClass<TScanObject>();
    RegisterStreamClass<TScanObjColl>();
    RegisterStreamClass<TEnumTypeElObj>();
    RegisterStreamClass<TEnumTransferObj>();
    RegisterStreamClass<TEnumTypeDefinition>();
    RegisterStreamClass<TEnumTypesColl>();
    RegisterStreamClass<TAppData>();
}

} // namespace ravlo
