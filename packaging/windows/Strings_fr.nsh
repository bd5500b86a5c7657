; Les textes propres à l'installateur, en français (MUI2 fournit les textes standard).
!define UNINSTALL_LINK_FR "Désinstaller Tallyvault"
LangString UninstallLink ${LANG_FRENCH} "${UNINSTALL_LINK_FR}"
LangString ReadmeHeader ${LANG_FRENCH} "Lisez-moi"
LangString ReadmeSubheader ${LANG_FRENCH} "Ce que Tallyvault installe, et où il garde ses données."
LangString ReadmeTop ${LANG_FRENCH} "Appuyez sur Page Suivante pour lire le reste du texte."
!define SETUP_DESCRIPTION_FR "Installation de Tallyvault"
