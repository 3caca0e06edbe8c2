#include "records/record_classes.h"

#include "framework/framework_classes.h"
#include "records/compound_fields.h"
#include "records/data_base.h"
#include "records/db_ptr_fields.h"
#include "records/dscr_rec_obj.h"
#include "records/enum_field_dscrs.h"
#include "records/fce_semantics.h"
#include "records/ini_semantics.h"
#include "records/int_field_dscrs.h"
#include "records/par_rec_data.h"
#include "records/real_field_dscrs.h"
#include "records/rec_iniciator_coll.h"
#include "records/record_type_dscr.h"
#include "records/scan_semantics.h"
#include "records/stamp_semantics.h"
#include "records/string_field_dscrs.h"

namespace ravlo {

void RegisterRecordClasses() {
    RegisterFrameworkClasses();

    // The field types, record types, record objects, compound and case fields and assign tables,
    // in their fixed order.
    RegisterStreamClass<TRecFieldTypeDscr>();
    RegisterStreamClass<TRecordTypeDscr>();
    RegisterStreamClass<TRecTypesDscrColl>();
    RegisterStreamClass<TDscrRecObj>();
    RegisterStreamClass<TByteRecFieldDscr>();
    RegisterStreamClass<TByteLimRecFieldDscr>();
    RegisterStreamClass<TWordRecFieldDscr>();
    RegisterStreamClass<TWordLimRecFieldDscr>();
    RegisterStreamClass<TSpecWordRecFieldDscr>();
    RegisterStreamClass<TSpecWordLimRecFieldDscr>();
    RegisterStreamClass<TShortIntRecFieldDscr>();
    RegisterStreamClass<TShortIntLimRecFieldDscr>();
    RegisterStreamClass<TSmallIntRecFieldDscr>();
    RegisterStreamClass<TSmallIntLimRecFieldDscr>();
    RegisterStreamClass<TSpecSmallIntRecFieldDscr>();
    RegisterStreamClass<TSpecSmallIntLimRecFieldDscr>();
    RegisterStreamClass<TIntegerRecFieldDscr>();
    RegisterStreamClass<TLIntRecFieldDscr>();
    RegisterStreamClass<TLIntLimRecFieldDscr>();
    RegisterStreamClass<TSpecLIntRecFieldDscr>();
    RegisterStreamClass<TSpecLIntLimRecFieldDscr>();
    RegisterStreamClass<TDWordRecFieldDscr>();
    RegisterStreamClass<TSpecDWordLimRecFieldDscr>();
    RegisterStreamClass<TRealpRecFieldDscr>();
    RegisterStreamClass<TRealpLimRecFieldDscr>();
    RegisterStreamClass<TEnumRecFieldDscr>();
    RegisterStreamClass<TDBStringFieldDscr>();
    RegisterStreamClass<TStringLimFieldDscr>();
    RegisterStreamClass<TLabelFieldDscr>();
    RegisterStreamClass<TCompoundTDscr>();
    RegisterStreamClass<TEnumSetFieldDscr>();
    RegisterStreamClass<TDscrAssignTable>();
    RegisterStreamClass<TByteDscrAssTab>();
    RegisterStreamClass<TWordDscrAssTab>();
    RegisterStreamClass<TAbstractCaseTypeDscr>();
    RegisterStreamClass<TByteCaseTypeDscr>();

    // The semantics and their evaluators.
    RegisterStreamClass<TSemantics>();
    RegisterStreamClass<TSemManColl>();
    RegisterStreamClass<TSemanticEvaluator>();
    RegisterStreamClass<TSemEvalColl>();
    RegisterStreamClass<TGetFceSem>();
    RegisterStreamClass<TByteGetFceSem>();
    RegisterStreamClass<TWordGetFceSem>();
    RegisterStreamClass<TLIntGetFceSem>();
    RegisterStreamClass<TPStrGetFceSem>();
    RegisterStreamClass<TScanIfSem>();
    RegisterStreamClass<TRefVUScanSem>();
    RegisterStreamClass<TDWAppINISetSem>();
    RegisterStreamClass<TWoAppINISetSem>();
    RegisterStreamClass<TByAppINISetSem>();
    RegisterStreamClass<TStrAppINISetSem>();
    RegisterStreamClass<TDevIxSetSem>();
    RegisterStreamClass<TByteSorterSem>();
    RegisterStreamClass<TWordSorterSem>();
    RegisterStreamClass<TLIntSorterSem>();
    RegisterStreamClass<TDWordSorterSem>();
    RegisterStreamClass<TStrSorterSem>();
    RegisterStreamClass<TAnsiStrSorterSem>();
    RegisterStreamClass<TStrTimeSetSem>();
    RegisterStreamClass<TTTCTimeSetSem>();
    RegisterStreamClass<TAcceptDWFSem>();
    RegisterStreamClass<TAcceptDateTimeSem>();

    // The element initiators and their collection.
    RegisterStreamClass<TByteElIniciatorObj>();
    RegisterStreamClass<TWordElIniciatorObj>();
    RegisterStreamClass<TIntegerElIniciatorObj>();
    RegisterStreamClass<TDWordElIniciatorObj>();
    RegisterStreamClass<TRealpElIniciatorObj>();
    RegisterStreamClass<TPStrElIniciatorObj>();
    RegisterStreamClass<TDBPtrElIniciatorObj>();
    RegisterStreamClass<TSpecWordElIniciatorObj>();
    RegisterStreamClass<TSpecSmallIntElIniciatorObj>();
    RegisterStreamClass<TSpecLIntElIniciatorObj>();
    RegisterStreamClass<THexBuffElIniciatorObj>();
    RegisterStreamClass<TRecIniciatorColl>();

    // The databases, their descriptions and pointer fields. A database's edit and lookup links are
    // not among them: they tie records to the controls of open dialogs, are made afresh with the
    // database and never go into a stream.
    RegisterStreamClass<TDataBaseDscrObj>();
    RegisterStreamClass<TDataBaseDscrColl>();
    RegisterStreamClass<TDBFilterValidator>();
    RegisterStreamClass<TDBFilterValColl>();
    RegisterStreamClass<TDBCaptionObj>();
    RegisterStreamClass<TDataBase>();
    RegisterStreamClass<TDBRecordObj>();
    RegisterStreamClass<TDBColl>();
    RegisterStreamClass<TDynDBPtrRecFieldDscr>();
    RegisterStreamClass<THiddenDynDBPtrRecFieldDscr>();

    // The parameter records.
    RegisterStreamClass<TParRecTypesColl>();
    RegisterStreamClass<TParRecordObj>();
    RegisterStreamClass<TParRecColl>();
    RegisterStreamClass<TParRecData>();
}

} // namespace ravlo
