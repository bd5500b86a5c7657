; The installer's own English texts (MUI2 brings the standard ones).
!define UNINSTALL_LINK_EN "Uninstall Tallyvault"
LangString UninstallLink ${LANG_ENGLISH} "${UNINSTALL_LINK_EN}"
LangString ReadmeHeader ${LANG_ENGLISH} "Read me"
LangString ReadmeSubheader ${LANG_ENGLISH} "What Tallyvault installs, and where it keeps its data."
LangString ReadmeTop ${LANG_ENGLISH} "Press Page Down to see the rest of the text."
!define SETUP_DESCRIPTION_EN "Tallyvault setup"
