#pragma once

#include <QLatin1String>
#include <QStringList>

// Every control of the main network window that the core writes or reads through FormState, by
// its object name; toolbar buttons by their key. The core names a control only through these
// constants, and a test checks that the real window has exactly one widget or action of each
// name.
#define AXONA_MAIN_WINDOW_CONTROLS(X)                                                              \
    X(TXT_Title)                                                                                   \
    /* "Net Size" */                                                                               \
    X(FRA_NetSize)                                                                                 \
    X(PNL_Layers)                                                                                  \
    X(SPN_Layers)                                                                                  \
    X(PNL_Lindex)                                                                                  \
    X(CMB_LayerSize)                                                                               \
    X(CMB_idxfn)                                                                                   \
    X(BTN_Change)                                                                                  \
    /* "Learning Parameters" */                                                                    \
    X(FRA_LearnPar)                                                                                \
    X(TXT_Eta)                                                                                     \
    X(TXT_Alpha)                                                                                   \
    X(TXT_Pnoise)                                                                                  \
    X(TXT_Wnoise)                                                                                  \
    X(TXT_Temp)                                                                                    \
    X(TXT_epocs)                                                                                   \
    X(TXT_PatClip)                                                                                 \
    X(CHK_AutoLearn)                                                                               \
    X(BTN_Suggest)                                                                                 \
    /* "Epoc Parameters" */                                                                        \
    X(FRA_EpocPar)                                                                                 \
    X(CHK_RND)                                                                                     \
    X(TXT_EpocLen)                                                                                 \
    /* "Training Results" */                                                                       \
    X(FRA_Results)                                                                                 \
    X(TXT_TargetErr)                                                                               \
    X(LBL_Error)                                                                                   \
    X(LBL_Change)                                                                                  \
    X(LBL_iter)                                                                                    \
    X(LBL_GoodPats)                                                                                \
    X(CHK_ShowTestErr)                                                                             \
    X(CHK_KeepBest)                                                                                \
    X(LBL_ClassErrCap)                                                                             \
    X(LBL_ClassErr)                                                                                \
    /* "Weights" */                                                                                \
    X(PNL_NW)                                                                                      \
    X(PNL_MinW)                                                                                    \
    X(PNL_MaxW)                                                                                    \
    X(TXT_minW)                                                                                    \
    X(TXT_maxW)                                                                                    \
    X(BTN_Randomize)                                                                               \
    /* "Files" */                                                                                  \
    X(LBL_DataFile)                                                                                \
    X(LBL_TestFile)                                                                                \
    X(LBL_WeightFile)                                                                              \
    X(BTN_EditPat)                                                                                 \
    X(BTN_EditTst)                                                                                 \
    X(BTN_EditWgt)                                                                                 \
    X(LBL_Npts)                                                                                    \
    X(LBL_NptsTST)                                                                                 \
    /* The link ends: never shown, they carry text between the program and its links */            \
    X(TXT_PAT)                                                                                     \
    X(TXT_TST)                                                                                     \
    X(TXT_PATOUTS)                                                                                 \
    X(TXT_TSTOUTS)                                                                                 \
    /* Menus and menu items */                                                                     \
    X(MNU_FILE)                                                                                    \
    X(MNU_FILE_NewNet)                                                                             \
    X(MNU_FILE_OpenNet)                                                                            \
    X(MNU_FILE_SaveNet)                                                                            \
    X(MNU_FILE_SaveNetAs)                                                                          \
    X(MNU_FILE_OpenPat)                                                                            \
    X(MNU_FILE_OpenTest)                                                                           \
    X(MNU_FILE_SavePatsAs)                                                                         \
    X(MNU_FILE_SaveTstPats)                                                                        \
    X(MNU_FILE_OpenWeight)                                                                         \
    X(MNU_FILE_SaveWeight)                                                                         \
    X(MNU_FILE_SaveWeightAs)                                                                       \
    X(MNU_EDIT)                                                                                    \
    X(MNU_EDIT_PastePatLinked)                                                                     \
    X(MNU_EDIT_PasteTSTLinked)                                                                     \
    X(MNU_EDIT_CopyOutsLinked)                                                                     \
    X(MNU_EDIT_CopyTSTLinked)                                                                      \
    X(MNU_DATA)                                                                                    \
    X(MNU_DATA_Norm)                                                                               \
    X(MNU_DATA_CreateTest)                                                                         \
    X(MNU_DATA_ImportCsv)                                                                          \
    X(MNU_VIEW)                                                                                    \
    X(MNU_VIEWSens)                                                                                \
    X(MNU_VIEWEval)                                                                                \
    /* Toolbar buttons ("new" is newNet below) */                                                  \
    X(open)                                                                                        \
    X(save)                                                                                        \
    X(train)                                                                                       \
    X(stop)                                                                                        \
    X(runnet)                                                                                      \
    X(runtest)                                                                                     \
    X(plotweights)                                                                                 \
    X(plotnet)

namespace Control {

#define AXONA_CONTROL_NAME(name) inline constexpr QLatin1String name {#name};
AXONA_MAIN_WINDOW_CONTROLS(AXONA_CONTROL_NAME)
#undef AXONA_CONTROL_NAME

// The toolbar button "new": its key is a keyword of the language, so its constant is named apart.
inline constexpr QLatin1String newNet {"new"};

// Every name above, in the order of the list.
QStringList all();

} // namespace Control
