; TavrineSetup.exe: installs the Tavrine Gaming Mouse suite for all users of the PC.
; Built by the normal build (installer/CMakeLists.txt), which passes:
;   TAVRINE_TARGET   x86-unicode (the shipped installer) or amd64-unicode (the 64-bit test twin)
;   TAVRINE_REGVIEW  32 or 64: the registry view the installed programs read
;   TAVRINE_VERSION  the suite's version (major.minor.patch)
;   TAVRINE_SOURCE   the build's program folder, laid out as the install tree
;   TAVRINE_GEN      the generated includes (names from the C++ headers, the file lists)
;   TAVRINE_ICON, TAVRINE_OUTFILE, TAVRINE_VISTREL when the display program is part of the build,
;   and TAVRINE_CLI when the command line (tavrine.exe) is
; Command line besides NSIS's own /S and /D=folder:
;   /LANGUAGE=en|de   language of the program (the interactive installer asks)
;   /AUTOPROFILE      also the component "Switch profiles by program" (off by default)
;   uninstaller: /REMOVESETTINGS also removes the user's settings
Target ${TAVRINE_TARGET}
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh
!include "${TAVRINE_GEN}/SuiteNames.nsh"

!define PRODUCT "Tavrine Gaming Mouse"
!define PUBLISHER "Tavrine"
!define PROGRAM_FILE "TavrineGamingMouse.exe"
!define DISPLAY_FILE "Vistrel.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TavrineGamingMouse"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Vistrel"
!define CLI_FILE "tavrine.exe"
!define WATCH_RUN_VALUE "TavrineAutoProfile"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT}"
Caption "${PRODUCT} Setup"
UninstallCaption "${PRODUCT} Uninstall"
OutFile "${TAVRINE_OUTFILE}"
!if ${TAVRINE_REGVIEW} == 64
InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes where the suite already is (read in the view the installer runs in, which is the
; view of its programs).
InstallDirRegKey HKLM "${kInstallKey}" "${kInstallPathValue}"
BrandingText "${PRODUCT} ${TAVRINE_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${TAVRINE_VERSION}.0"
VIFileVersion "${TAVRINE_VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${TAVRINE_VERSION}"
VIAddVersionKey "ProductVersion" "${TAVRINE_VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Var ProgramLanguage ; en or de
Var LanguageEnglish
Var LanguageGerman

!define MUI_ICON "${TAVRINE_ICON}"
!define MUI_UNICON "${TAVRINE_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${TAVRINE_VERSION}: the program that sets up the buttons, macros, DPI levels and lights of your Tavrine KVR-5502 mouse, and the on-screen display that shows its changes.$\r$\n$\r$\nIf ${PRODUCT} is running, close it before you continue. Your settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${__FILEDIR__}/License.txt"
!insertmacro MUI_PAGE_DIRECTORY
Page custom LanguagePageShow LanguagePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Plug in the mouse and start it from the Start menu."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Starts a program with the user's own rights. An installer raised by UAC has a full
; administrator token, and a display program started with it would not receive the messages that
; the configuration program, started later by the user, posts to it. Explorer starts programs
; with the rights of the signed-in user.
Function StartAsUser ; $R9 = the program
    Push $1
    Push $2
    Push $3
    StrCpy $3 0
    System::Call 'advapi32::OpenProcessToken(p -1, i 0x8, *p .r1) i .r2' ; TOKEN_QUERY
    ${If} $2 <> 0
        System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r3, i 4, *i .r2)' ; TokenElevationType
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    ${If} $3 = 2 ; TokenElevationTypeFull: raised from a limited token
        Exec '"$WINDIR\explorer.exe" "$R9"'
    ${Else}
        Exec '"$R9"'
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

; The watcher with its argument. Explorer takes no arguments for the program it starts, so a
; raised installer leaves the start to the next logon (the entry is written) rather than run the
; watcher with the administrator's token, whose foreground events and settings would not be the
; user's.
Function StartWatchAsUser ; $R9 = tavrine.exe
    Push $1
    Push $2
    Push $3
    StrCpy $3 0
    System::Call 'advapi32::OpenProcessToken(p -1, i 0x8, *p .r1) i .r2' ; TOKEN_QUERY
    ${If} $2 <> 0
        System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r3, i 4, *i .r2)' ; TokenElevationType
        System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    ${If} $3 <> 2 ; not raised from a limited token
        Exec '"$R9" watch'
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

Function StartProgram
    SetOutPath "$INSTDIR"
    StrCpy $R9 "$INSTDIR\${PROGRAM_FILE}"
    Call StartAsUser
FunctionEnd

; The folder as the programs want it: without a trailing backslash (also for a drive's root).
Function FolderValue ; $INSTDIR -> $R8
    StrCpy $R8 "$INSTDIR"
    StrCpy $R7 "$R8" "" -1
    ${If} $R7 == "\"
        StrCpy $R8 "$R8" -1
    ${EndIf}
FunctionEnd

; The folder of an earlier install (and the uninstaller's own, from its copy's command line)
; comes with a trailing backslash; the pages show it as the user would type it.
!macro PLAIN_INSTDIR
    StrCpy $0 "$INSTDIR" "" -1
    StrCpy $1 "$INSTDIR" "" 1
    ${If} $0 == "\"
    ${AndIf} $1 != ":\"
        StrCpy $INSTDIR "$INSTDIR" -1
    ${EndIf}
!macroend

; Files in use cannot be replaced or removed: the display program is asked to end (as its own
; "/q" does), and the configuration program, which may hold unsaved changes, is left to the user.
!macro SUITE_CLOSED_FUNCTION UN WHAT
Function ${UN}EnsureSuiteClosed
    Push $0
    Push $1
    Push $2
    check:
    ; The profile switcher holds tavrine.exe open and has nothing to lose: asked to end, as its
    ; Exit does.
    FindWindow $0 "${kWatchClass}" "${kWatchCaption}"
    ${If} $0 <> 0
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
        StrCpy $2 0
        ${While} $0 <> 0
            ${If} $2 >= 50 ; five seconds
                ${ExitWhile}
            ${EndIf}
            Sleep 100
            IntOp $2 $2 + 1
            FindWindow $0 "${kWatchClass}" "${kWatchCaption}"
        ${EndWhile}
    ${EndIf}
    FindWindow $0 "${kVistrelClass}" "${kVistrelCaption}"
    ${If} $0 <> 0
        ReadRegStr $1 HKLM "${kInstallKey}" "${kAppPathValue}"
        ${If} ${FileExists} "$1\${DISPLAY_FILE}"
            ExecWait '"$1\${DISPLAY_FILE}" /q'
        ${Else}
            System::Call 'user32::PostMessageW(p r0, i ${WM_QUIT}, p 0, p 0)'
        ${EndIf}
        StrCpy $2 0
        ${While} $0 <> 0
            ${If} $2 >= 50 ; five seconds
                ${ExitWhile}
            ${EndIf}
            Sleep 100
            IntOp $2 $2 + 1
            FindWindow $0 "${kVistrelClass}" "${kVistrelCaption}"
        ${EndWhile}
        ${If} $0 <> 0
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "The on-screen display (Vistrel) is running and does not close.$\r$\n$\r$\nEnd it with Exit in its menu or in the Task Manager, then click Retry, or click Cancel to stop the ${WHAT}." /SD IDCANCEL IDRETRY check
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${kProgramMutex}") p .r1' ; SYNCHRONIZE
    ${If} $1 P<> 0
        System::Call 'kernel32::CloseHandle(p r1)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running.$\r$\n$\r$\nClose it (apply or save your changes first), then click Retry, or click Cancel to stop the ${WHAT}." /SD IDCANCEL IDRETRY check
        SetErrorLevel 2
        Quit
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro SUITE_CLOSED_FUNCTION "" "installation"
!insertmacro SUITE_CLOSED_FUNCTION "un." "uninstallation"

Function LanguagePageShow
    !insertmacro MUI_HEADER_TEXT "Program language" "Choose the language of ${PRODUCT}."
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 30u "${PRODUCT} shows its texts in this language. You can change it later: copy a file of the lang\samples folder over lang\UILANG.ini in the installation folder."
    Pop $0
    ${NSD_CreateRadioButton} 12u 40u 90% 12u "English"
    Pop $LanguageEnglish
    ${NSD_CreateRadioButton} 12u 56u 90% 12u "Deutsch (German)"
    Pop $LanguageGerman
    ${If} $ProgramLanguage == "de"
        ${NSD_Check} $LanguageGerman
    ${Else}
        ${NSD_Check} $LanguageEnglish
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function LanguagePageLeave
    ${NSD_GetState} $LanguageGerman $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $ProgramLanguage "de"
    ${Else}
        StrCpy $ProgramLanguage "en"
    ${EndIf}
FunctionEnd

Section "${PRODUCT} (required)" SecProgram
    SectionIn RO
    Call EnsureSuiteClosed
    ; Some 640 files, each a line in the details list, slow the page down (under Wine most of
    ; all, to half a minute); the status line above the bar still names each file.
    SetDetailsPrint textonly
    !include "${TAVRINE_GEN}/InstallFiles.nsh"
    SetDetailsPrint both
    SetOutPath "$INSTDIR\lang"
    ${If} $ProgramLanguage == "de"
        File "/oname=UILANG.ini" "${TAVRINE_SOURCE}/lang/samples/UILANG.de.ini"
    ${Else}
        File "/oname=UILANG.ini" "${TAVRINE_SOURCE}/lang/UILANG.ini"
    ${EndIf}
    SetOutPath "$INSTDIR\lang\samples"
    File "/oname=UILANG.en.ini" "${TAVRINE_SOURCE}/lang/UILANG.ini"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; Both values name the folder; the display program appends "\" and its file names.
    Call FolderValue
    WriteRegStr HKLM "${kInstallKey}" "${kInstallPathValue}" "$R8"
    WriteRegStr HKLM "${kInstallKey}" "${kAppPathValue}" "$R8"

    SetShellVarContext all
    CreateDirectory "${MENU_FOLDER}"
    CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM_FILE}" "" "$INSTDIR\${PROGRAM_FILE}" 0
    CreateShortcut "${MENU_FOLDER}\User Guide.lnk" "$INSTDIR\help\UserInterfaceSetupGuide.html"
    CreateShortcut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${TAVRINE_VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$R8"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; The next upgrade offers the same language again.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "ProgramLanguage" "$ProgramLanguage"
SectionEnd

!ifdef TAVRINE_VISTREL
Section "Start the on-screen display at logon" SecLogon
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${DISPLAY_FILE}"'
SectionEnd
!endif

!ifdef TAVRINE_CLI
; tavrine.exe watch at each user's logon: the rules are each user's own (tavrine auto ...), and a
; user without rules has a watcher that sleeps. It is a console program; it lets go of the
; console window it is given at logon (see cli/Watch_win.cpp).
Section /o "Switch profiles by program" SecAutoProfile
    WriteRegStr HKLM "${RUN_KEY}" "${WATCH_RUN_VALUE}" '"$INSTDIR\${CLI_FILE}" watch'
SectionEnd
!endif

Section "-Finish"
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
!ifdef TAVRINE_VISTREL
    ${If} ${SectionIsSelected} ${SecLogon}
        StrCpy $R9 "$INSTDIR\${DISPLAY_FILE}"
        Call StartAsUser
        ; Up to five seconds for its window, so that the display program runs when the installer
        ; ends (and a script that uninstalls next finds it to ask it to quit).
        StrCpy $1 0
        FindWindow $0 "${kVistrelClass}" "${kVistrelCaption}"
        ${While} $0 = 0
            ${If} $1 >= 50
                ${ExitWhile}
            ${EndIf}
            Sleep 100
            IntOp $1 $1 + 1
            FindWindow $0 "${kVistrelClass}" "${kVistrelCaption}"
        ${EndWhile}
    ${Else}
        ; An upgrade without the choice drops the entry an earlier install made.
        DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
!endif
!ifdef TAVRINE_CLI
    ${If} ${SectionIsSelected} ${SecAutoProfile}
        ; Running now, not only from the next logon.
        SetOutPath "$INSTDIR"
        StrCpy $R9 "$INSTDIR\${CLI_FILE}"
        Call StartWatchAsUser
    ${Else}
        DeleteRegValue HKLM "${RUN_KEY}" "${WATCH_RUN_VALUE}"
    ${EndIf}
!endif
SectionEnd

Function .onInit
    SetRegView ${TAVRINE_REGVIEW}
    !insertmacro PLAIN_INSTDIR
    StrCpy $ProgramLanguage "en"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "ProgramLanguage"
    ${If} $0 == "de"
        StrCpy $ProgramLanguage "de"
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LANGUAGE=" $1
    ${IfNot} ${Errors}
        ${If} $1 == "de"
        ${OrIf} $1 == "en"
            StrCpy $ProgramLanguage $1
        ${Else}
            MessageBox MB_OK|MB_ICONSTOP "Unknown program language $\"$1$\": use /LANGUAGE=en or /LANGUAGE=de." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
!ifdef TAVRINE_VISTREL
    ; An upgrade keeps the earlier choice about the display program at logon.
    ReadRegStr $0 HKLM "${kInstallKey}" "${kInstallPathValue}"
    ${If} $0 != ""
        ReadRegStr $1 HKLM "${RUN_KEY}" "${RUN_VALUE}"
        ${If} $1 == ""
            !insertmacro UnselectSection ${SecLogon}
        ${EndIf}
    ${EndIf}
!endif
!ifdef TAVRINE_CLI
    ; Chosen on the command line, or kept from the earlier install.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTOPROFILE" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutoProfile}
    ${Else}
        ReadRegStr $1 HKLM "${RUN_KEY}" "${WATCH_RUN_VALUE}"
        ${If} $1 != ""
            !insertmacro SelectSection ${SecAutoProfile}
        ${EndIf}
    ${EndIf}
!endif
    Call EnsureSuiteClosed
FunctionEnd

Section "un.${PRODUCT}" SecUnProgram
    SectionIn RO
    SetDetailsPrint textonly  ; as for the install: the files are too many for the list
    !include "${TAVRINE_GEN}/UninstallFiles.nsh"
    SetDetailsPrint both
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
    Delete "${MENU_FOLDER}\User Guide.lnk"
    Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
    RMDir "${MENU_FOLDER}"

    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegValue HKLM "${RUN_KEY}" "${WATCH_RUN_VALUE}"
    DeleteRegValue HKLM "${kInstallKey}" "${kInstallPathValue}"
    DeleteRegValue HKLM "${kInstallKey}" "${kAppPathValue}"
    DeleteRegKey /ifempty HKLM "${kInstallKey}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Profiles, macros and performance settings of the user running the uninstaller.
Section /o "un.Also remove my settings" SecUnSettings
    DeleteRegKey HKCU "${kSettingsRoot}"
SectionEnd

Function un.onInit
    SetRegView ${TAVRINE_REGVIEW}
    !insertmacro PLAIN_INSTDIR
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecUnSettings}
    ${EndIf}
    Call un.EnsureSuiteClosed
FunctionEnd
