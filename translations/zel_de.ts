<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>zel::app::ErrorMessage</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Database not found or corrupted</source>
        <translation>Datenbank nicht gefunden oder beschädigt</translation>
    </message>
    <message>
        <source>Internal error - cannot start program</source>
        <translation>Interner Fehler - Programm kann nicht gestartet werden</translation>
    </message>
</context>
<context>
    <name>zel::app::GaugeBar</name>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>zel::app::ProductPanels</name>
    <message>
        <source>ZEL 2026 - Aroma Materials, their Stability &amp;&amp; Suppliers</source>
        <translation>ZEL 2026 - Riechstoffe, ihre Stabilität &amp;&amp; ihre Lieferanten</translation>
    </message>
</context>
<context>
    <name>zel::app::Program</name>
    <message>
        <source>ZEL shows them, but keeps no change until it is started again.</source>
        <translation>ZEL zeigt sie an, speichert aber keine Änderung, bis es neu gestartet wird.</translation>
    </message>
    <message>
        <source>ZEL goes on without them.</source>
        <translation>ZEL arbeitet ohne sie weiter.</translation>
    </message>
</context>
<context>
    <name>zel::app::SearchFeedback</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>There are no records with the specified criteria.<byte value="xd"/>Restore to all records.</source>
        <translation>Kein Datensatz entspricht den angegebenen Kriterien.<byte value="xd"/>Alle Datensätze werden wieder angezeigt.</translation>
    </message>
</context>
<context>
    <name>zel::app::TAboutBox</name>
    <message>
        <source>About ZEL</source>
        <translation>Über ZEL</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Version %1
Copyright 2026 The ZEL developers.
All rights reserved.</source>
        <translation>Version %1
Copyright 2026 Die ZEL-Entwickler.
Alle Rechte vorbehalten.</translation>
    </message>
</context>
<context>
    <name>zel::app::TIndexForm</name>
    <message>
        <source>Indexing database, please wait...</source>
        <translation>Datenbank wird indiziert, bitte warten...</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Index:</source>
        <translation>Index:</translation>
    </message>
</context>
<context>
    <name>zel::model::Datasets</name>
    <message>
        <source>Supplier name</source>
        <translation>Lieferantenname</translation>
    </message>
    <message>
        <source>Material name</source>
        <translation>Riechstoffname</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Riechstoffe</translation>
    </message>
    <message>
        <source>Commercial name</source>
        <translation>Handelsname</translation>
    </message>
    <message>
        <source>(Commercial name)</source>
        <translation>(Handelsname)</translation>
    </message>
    <message>
        <source>Suppliers</source>
        <translation>Lieferanten</translation>
    </message>
</context>
<context>
    <name>zel::model::NoteStore</name>
    <message>
        <source>Your notes in %1 cannot be changed (%2).</source>
        <translation>Ihre Notizen in %1 können nicht geändert werden (%2).</translation>
    </message>
    <message>
        <source>Your notes in %1 cannot be read (%2).</source>
        <translation>Ihre Notizen in %1 können nicht gelesen werden (%2).</translation>
    </message>
</context>
<context>
    <name>zel::model::Reindex</name>
    <message>
        <source>Error indexing database<byte value="xd"/>Cannot delete old index files: </source>
        <translation>Fehler beim Indizieren der Datenbank<byte value="xd"/>Alte Indexdateien lassen sich nicht löschen: </translation>
    </message>
    <message>
        <source>The empty commercial names in %1 were left as they are: the file belongs to another user, and writing it again would take it from them.</source>
        <translation>Die leeren Handelsnamen in %1 bleiben unverändert: Die Datei gehört einem anderen Benutzer, und sie neu zu schreiben, würde sie ihm wegnehmen.</translation>
    </message>
    <message>
        <source>Cannot reindex file:</source>
        <translation>Datei lässt sich nicht neu indizieren:</translation>
    </message>
</context>
<context>
    <name>zel::model::StabilityMedia</name>
    <message>
        <source>pH  1:</source>
        <translation>pH  1:</translation>
    </message>
    <message>
        <source>pH  2:</source>
        <translation>pH  2:</translation>
    </message>
    <message>
        <source>pH  3:</source>
        <translation>pH  3:</translation>
    </message>
    <message>
        <source>pH  4:</source>
        <translation>pH  4:</translation>
    </message>
    <message>
        <source>pH  5:</source>
        <translation>pH  5:</translation>
    </message>
    <message>
        <source>pH  6:</source>
        <translation>pH  6:</translation>
    </message>
    <message>
        <source>pH  7:</source>
        <translation>pH  7:</translation>
    </message>
    <message>
        <source>pH  8:</source>
        <translation>pH  8:</translation>
    </message>
    <message>
        <source>pH  9:</source>
        <translation>pH  9:</translation>
    </message>
    <message>
        <source>pH 10:</source>
        <translation>pH 10:</translation>
    </message>
    <message>
        <source>pH 11:</source>
        <translation>pH 11:</translation>
    </message>
    <message>
        <source>pH 12:</source>
        <translation>pH 12:</translation>
    </message>
    <message>
        <source>Acid cleaner liquid:</source>
        <translation>Saurer Reiniger fl.:</translation>
    </message>
    <message>
        <source>Acid cleaner solid:</source>
        <translation>Saurer Reiniger fest:</translation>
    </message>
    <message>
        <source>Tile cleaner:</source>
        <translation>Fliesenreiniger:</translation>
    </message>
    <message>
        <source>Cream rinse:</source>
        <translation>Haarspülung:</translation>
    </message>
    <message>
        <source>Deo stick:</source>
        <translation>Deostift:</translation>
    </message>
    <message>
        <source>Antiperspirant:</source>
        <translation>Antitranspirant:</translation>
    </message>
    <message>
        <source>Fabric softener:</source>
        <translation>Weichspüler:</translation>
    </message>
    <message>
        <source>Alcoholic lotion:</source>
        <translation>Alkoholische Lotion:</translation>
    </message>
    <message>
        <source>Hand cream:</source>
        <translation>Handcreme:</translation>
    </message>
    <message>
        <source>Liquid detergent:</source>
        <translation>Flüssigwaschmittel:</translation>
    </message>
    <message>
        <source>Shampoo:</source>
        <translation>Shampoo:</translation>
    </message>
    <message>
        <source>Aerosol:</source>
        <translation>Aerosol:</translation>
    </message>
    <message>
        <source>Foam bath:</source>
        <translation>Schaumbad:</translation>
    </message>
    <message>
        <source>Bleaching agent:</source>
        <translation>Bleichmittel:</translation>
    </message>
    <message>
        <source>Talcum:</source>
        <translation>Talkum:</translation>
    </message>
    <message>
        <source>Soap:</source>
        <translation>Seife:</translation>
    </message>
    <message>
        <source>Hard surface cleaner:</source>
        <translation>Oberflächenreiniger:</translation>
    </message>
    <message>
        <source>Detergent (+TAED):</source>
        <translation>Waschpulver (+TAED):</translation>
    </message>
    <message>
        <source>Detergent (+Perbor.):</source>
        <translation>Waschpulver (+Perb.):</translation>
    </message>
    <message>
        <source>Softergent:</source>
        <translation>Weichwaschmittel:</translation>
    </message>
    <message>
        <source>Cold wave:</source>
        <translation>Kaltwelle:</translation>
    </message>
</context>
<context>
    <name>zel::report::FormParts</name>
    <message>
        <source>ZEL – aroma materials reference data sheet</source>
        <translation>ZEL – Referenzdatenblatt für Riechstoffe</translation>
    </message>
</context>
<context>
    <name>zel::report::TPrintCompare</name>
    <message>
        <source>MATERIAL COMPARISON</source>
        <translation>STOFFVERGLEICH</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Stoff</translation>
    </message>
    <message>
        <source>STABILITY RECORD</source>
        <translation>STABILITÄT</translation>
    </message>
</context>
<context>
    <name>zel::report::TPrintMaterial</name>
    <message>
        <source>IDENTITY</source>
        <translation>IDENTITÄT</translation>
    </message>
    <message>
        <source>ODOUR DESCRIPTION</source>
        <translation>GERUCHSBESCHREIBUNG</translation>
    </message>
    <message>
        <source>PERFORMANCE</source>
        <translation>LEISTUNG</translation>
    </message>
    <message>
        <source>APPLICATION</source>
        <translation>ANWENDUNG</translation>
    </message>
    <message>
        <source>LITERATURE</source>
        <translation>LITERATUR</translation>
    </message>
    <message>
        <source>COMMERCIAL NAME / SYNONYM</source>
        <translation>HANDELSNAME / SYNONYM</translation>
    </message>
    <message>
        <source>SUPPLIER</source>
        <translation>LIEFERANT</translation>
    </message>
    <message>
        <source>STABILITY RECORD</source>
        <translation>STABILITÄTSPROFIL</translation>
    </message>
    <message>
        <source>MY NOTES</source>
        <translation>MEINE NOTIZEN</translation>
    </message>
    <message>
        <source>One of my favourites.</source>
        <translation>Einer meiner Favoriten.</translation>
    </message>
</context>
<context>
    <name>zel::report::TPrintSupplier</name>
    <message>
        <source>ADDRESS</source>
        <translation>ADRESSE</translation>
    </message>
    <message>
        <source>MATERIALS</source>
        <translation>RIECHSTOFFE</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Seite %1</translation>
    </message>
</context>
<context>
    <name>zel::report::TRpProgressForm</name>
    <message>
        <source>Printing progress</source>
        <translation>Druckfortschritt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1%  Completed</source>
        <translation>%1 %  erledigt</translation>
    </message>
</context>
<context>
    <name>zel::report::TRpStandardPreview</name>
    <message>
        <source>Folium file</source>
        <translation>Folium-Datei</translation>
    </message>
    <message>
        <source>Print Preview</source>
        <translation>Druckvorschau</translation>
    </message>
    <message>
        <source>Zoom to fit</source>
        <translation>Ganze Seite</translation>
    </message>
    <message>
        <source>100%</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>Zoom to width</source>
        <translation>Seitenbreite</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>Erste Seite</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Vorherige Seite</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>Letzte Seite</translation>
    </message>
    <message>
        <source>Printer setup</source>
        <translation>Druckereinrichtung</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Export PDF</source>
        <translation>Als PDF exportieren</translation>
    </message>
    <message>
        <source>Save Report</source>
        <translation>Bericht speichern</translation>
    </message>
    <message>
        <source>Load Report</source>
        <translation>Bericht laden</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Seite</translation>
    </message>
    <message>
        <source>No printer is installed</source>
        <translation>Es ist kein Drucker eingerichtet</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Bericht speichern</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Load report</source>
        <translation>Bericht laden</translation>
    </message>
    <message>
        <source>File does not exist</source>
        <translation>Die Datei existiert nicht</translation>
    </message>
    <message>
        <source>There are no pages to export</source>
        <translation>Es gibt keine Seiten zum Exportieren</translation>
    </message>
    <message>
        <source>PDF file (*.pdf)</source>
        <translation>PDF-Datei (*.pdf)</translation>
    </message>
</context>
<context>
    <name>zel::ui::CommercialNamesPage</name>
    <message>
        <source>S&amp;earch name:</source>
        <translation>S&amp;uche Name:</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Comm. name</source>
        <translation>Handelsn.</translation>
    </message>
    <message>
        <source>Supplier</source>
        <translation>Lieferant</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Riechstoff</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Geruch</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Leistung</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Literature</source>
        <translation>Literatur</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>zel::ui::ComparisonModel</name>
    <message>
        <source>Names</source>
        <translation>Namen</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Geruch</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Leistung</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Commercial names</source>
        <translation>Handelsnamen</translation>
    </message>
    <message>
        <source>The ratings differ in this medium</source>
        <translation>Die Bewertungen unterscheiden sich in diesem Medium</translation>
    </message>
</context>
<context>
    <name>zel::ui::HelpWindow</name>
    <message>
        <source>ZEL Help</source>
        <translation>ZEL-Hilfe</translation>
    </message>
</context>
<context>
    <name>zel::ui::MainSession</name>
    <message>
        <source>No database is open</source>
        <translation>Keine Datenbank geöffnet</translation>
    </message>
    <message>
        <source>List of all materials (%1)</source>
        <translation>Liste aller Riechstoffe (%L1)</translation>
    </message>
    <message>
        <source>%1 materials selected</source>
        <translation>%L1 Riechstoffe ausgewählt</translation>
    </message>
    <message>
        <source> - sorted by CAS</source>
        <translation> - nach CAS sortiert</translation>
    </message>
    <message>
        <source>No materials</source>
        <translation>Keine Riechstoffe</translation>
    </message>
    <message>
        <source>1 material</source>
        <translation>1 Riechstoff</translation>
    </message>
    <message>
        <source>%1 materials</source>
        <translation>%L1 Riechstoffe</translation>
    </message>
    <message>
        <source>%1 from: %2</source>
        <translation>%1 von: %2</translation>
    </message>
    <message>
        <source>%1 materials of the shortlist %2</source>
        <translation>%L1 Riechstoffe der Auswahlliste %2</translation>
    </message>
</context>
<context>
    <name>zel::ui::MaterialsPage</name>
    <message>
        <source>S&amp;earch name:</source>
        <translation>S&amp;uche Name:</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Riechstoff</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Geruch</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Leistung</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Literature</source>
        <translation>Literatur</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Supplier</source>
        <translation>Lieferant</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Suppliers</source>
        <translation>Lieferanten</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
</context>
<context>
    <name>zel::ui::NotesSheet</name>
    <message>
        <source>Your own note on this material</source>
        <translation>Ihre Notiz zu diesem Riechstoff</translation>
    </message>
    <message>
        <source>Favourite: mark this material as one of yours</source>
        <translation>Favorit: diesen Riechstoff als einen Ihrer Favoriten markieren</translation>
    </message>
    <message>
        <source>Favourite</source>
        <translation>Favorit</translation>
    </message>
    <message>
        <source>Your own note on this material:</source>
        <translation>Ihre Notiz zu diesem Riechstoff:</translation>
    </message>
    <message>
        <source>Your notes cannot be changed in this run:</source>
        <translation>Ihre Notizen können in dieser Sitzung nicht geändert werden:</translation>
    </message>
</context>
<context>
    <name>zel::ui::ShortlistMenu</name>
    <message>
        <source>&amp;Shortlists</source>
        <translation>Aus&amp;wahllisten</translation>
    </message>
    <message>
        <source>&amp;Add the material to a new shortlist...</source>
        <translation>Riechstoff in neue Auswahlliste &amp;aufnehmen...</translation>
    </message>
    <message>
        <source>No shortlists yet</source>
        <translation>Noch keine Auswahllisten</translation>
    </message>
    <message>
        <source>&amp;Show as the list</source>
        <translation>Als Liste &amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Holds the current material</source>
        <translation>&amp;Enthält den aktuellen Riechstoff</translation>
    </message>
    <message>
        <source>&amp;Rename...</source>
        <translation>&amp;Umbenennen...</translation>
    </message>
    <message>
        <source>&amp;Delete...</source>
        <translation>&amp;Löschen...</translation>
    </message>
    <message>
        <source>New shortlist</source>
        <translation>Neue Auswahlliste</translation>
    </message>
    <message>
        <source>Name of the shortlist:</source>
        <translation>Name der Auswahlliste:</translation>
    </message>
    <message>
        <source>The shortlist %1 holds no material of this database.</source>
        <translation>Die Auswahlliste %1 enthält keinen Riechstoff dieser Datenbank.</translation>
    </message>
    <message>
        <source>Rename shortlist</source>
        <translation>Auswahlliste umbenennen</translation>
    </message>
    <message>
        <source>New name of the shortlist:</source>
        <translation>Neuer Name der Auswahlliste:</translation>
    </message>
    <message>
        <source>There is a shortlist named %1 already.</source>
        <translation>Es gibt bereits eine Auswahlliste namens %1.</translation>
    </message>
    <message>
        <source>Delete shortlist</source>
        <translation>Auswahlliste löschen</translation>
    </message>
    <message>
        <source>Delete the shortlist %1? The materials stay as they are.</source>
        <translation>Die Auswahlliste %1 löschen? Die Riechstoffe bleiben, wie sie sind.</translation>
    </message>
</context>
<context>
    <name>zel::ui::StabilityGrid</name>
    <message>
        <source>Stability</source>
        <translation>Stabilität</translation>
    </message>
</context>
<context>
    <name>zel::ui::SuppliersPage</name>
    <message>
        <source>Search name:</source>
        <translation>Suche Name:</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Country</source>
        <translation>Land</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Riechstoff</translation>
    </message>
    <message>
        <source>Commercial</source>
        <translation>Handels-</translation>
    </message>
    <message>
        <source>name</source>
        <translation>name</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Riechstoffe</translation>
    </message>
</context>
<context>
    <name>zel::ui::TAlternativesWindow</name>
    <message>
        <source>Stable alternatives</source>
        <translation>Stabile Alternativen</translation>
    </message>
    <message>
        <source>&amp;Stable in</source>
        <translation>&amp;Stabil in</translation>
    </message>
    <message>
        <source>Media the alternatives must be stable in</source>
        <translation>Medien, in denen die Alternativen stabil sein müssen</translation>
    </message>
    <message>
        <source>rated &amp;++</source>
        <translation>bewertet &amp;++</translation>
    </message>
    <message>
        <source>rated + or &amp;better</source>
        <translation>bewertet + oder &amp;besser</translation>
    </message>
    <message>
        <source>Alternatives, closest odour first</source>
        <translation>Alternativen, ähnlichster Geruch zuerst</translation>
    </message>
    <message>
        <source>&amp;Alternatives:</source>
        <translation>&amp;Alternativen:</translation>
    </message>
    <message>
        <source>&amp;Go to material</source>
        <translation>Zum &amp;Riechstoff</translation>
    </message>
    <message>
        <source>Materials that smell like %1</source>
        <translation>Riechstoffe, die wie %1 riechen</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Riechstoff</translation>
    </message>
    <message>
        <source>CAS</source>
        <translation>CAS</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Geruch</translation>
    </message>
</context>
<context>
    <name>zel::ui::TCompareForm</name>
    <message>
        <source>Compare materials</source>
        <translation>Stoffe vergleichen</translation>
    </message>
    <message>
        <source>&amp;Find material:</source>
        <translation>Stoff &amp;suchen:</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Materials compared</source>
        <translation>Verglichene Stoffe</translation>
    </message>
    <message>
        <source>No material has the CAS number %1.</source>
        <translation>Kein Stoff hat die CAS-Nummer %1.</translation>
    </message>
    <message>
        <source>Add one more material to compare and print.</source>
        <translation>Fügen Sie noch einen Stoff hinzu, um zu vergleichen und zu drucken.</translation>
    </message>
    <message>
        <source>%1 is already in the comparison.</source>
        <translation>%1 ist bereits im Vergleich.</translation>
    </message>
    <message>
        <source>A comparison holds at most six materials. Remove one (select its column, press Delete) to add %1.</source>
        <translation>Ein Vergleich umfasst höchstens sechs Stoffe. Entfernen Sie einen (Spalte wählen, Entf drücken), um %1 hinzuzufügen.</translation>
    </message>
    <message>
        <source>Select the column of the material to remove.</source>
        <translation>Wählen Sie die Spalte des zu entfernenden Stoffs.</translation>
    </message>
    <message>
        <source>No material has the CAS number %1 any more.</source>
        <translation>Kein Stoff hat mehr die CAS-Nummer %1.</translation>
    </message>
    <message>
        <source>A comparison needs at least two materials to print.</source>
        <translation>Zum Drucken braucht ein Vergleich mindestens zwei Stoffe.</translation>
    </message>
</context>
<context>
    <name>zel::ui::TMainForm</name>
    <message>
        <source>&amp;Materials</source>
        <translation>&amp;Riechstoffe</translation>
    </message>
    <message>
        <source>&amp;Commercial names</source>
        <translation>Handels&amp;namen</translation>
    </message>
    <message>
        <source>S&amp;uppliers</source>
        <translation>&amp;Lieferanten</translation>
    </message>
    <message>
        <source>First</source>
        <translation>Erster</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Vorheriger</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Nächster</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Letzter</translation>
    </message>
    <message>
        <source>&amp;Order by CAS</source>
        <translation>Nach &amp;CAS</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>Aus&amp;wahl</translation>
    </message>
    <message>
        <source>&amp;Print Material</source>
        <translation>Riechstoff druc&amp;ken</translation>
    </message>
    <message>
        <source>Hide details</source>
        <translation>Details aus</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Export list...</source>
        <translation>Liste &amp;exportieren...</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>The reference data have changed: File › Reload shows them  </source>
        <translation>Die Referenzdaten haben sich geändert: Datei › Neu laden zeigt sie an  </translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Suppliers</source>
        <translation>&amp;Lieferanten</translation>
    </message>
    <message>
        <source>Stable &amp;alternatives...</source>
        <translation>Stabile &amp;Alternativen...</translation>
    </message>
    <message>
        <source>&amp;Report</source>
        <translation>&amp;Bericht</translation>
    </message>
    <message>
        <source>Print &amp;Material</source>
        <translation>&amp;Riechstoff drucken</translation>
    </message>
    <message>
        <source>Print &amp;Supplier</source>
        <translation>&amp;Lieferant drucken</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About ZEL...</source>
        <translation>Ü&amp;ber ZEL...</translation>
    </message>
    <message>
        <source>&amp;Order by name</source>
        <translation>Nach Na&amp;me</translation>
    </message>
    <message>
        <source>Search name</source>
        <translation>Suche Name</translation>
    </message>
    <message>
        <source>Search CAS</source>
        <translation>Suche CAS</translation>
    </message>
    <message>
        <source>&amp;Print Supplier</source>
        <translation>Lieferant druc&amp;ken</translation>
    </message>
    <message>
        <source>Show details</source>
        <translation>Details ein</translation>
    </message>
    <message>
        <source>S&amp;earch name:</source>
        <translation>S&amp;uche Name:</translation>
    </message>
    <message>
        <source>S&amp;earch CAS:</source>
        <translation>S&amp;uche CAS:</translation>
    </message>
    <message>
        <source>Cannot open the help file %1</source>
        <translation>Die Hilfedatei %1 lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>Export list</source>
        <translation>Liste exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>&amp;Select...</source>
        <translation>Aus&amp;wählen...</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>Riechstoffe</translation>
    </message>
    <message>
        <source>Commercial names</source>
        <translation>Handelsnamen</translation>
    </message>
    <message>
        <source>Suppliers</source>
        <translation>Lieferanten</translation>
    </message>
    <message>
        <source>Suppliers of the material</source>
        <translation>Lieferanten des Riechstoffs</translation>
    </message>
    <message>
        <source>Materials of the supplier</source>
        <translation>Riechstoffe des Lieferanten</translation>
    </message>
    <message>
        <source>Stability</source>
        <translation>Stabilität</translation>
    </message>
    <message>
        <source>&amp;Compare...</source>
        <translation>&amp;Vergleichen...</translation>
    </message>
    <message>
        <source>&amp;Add to comparison</source>
        <translation>Zum Vergleich &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Include my &amp;notes</source>
        <translation>Meine &amp;Notizen einbeziehen</translation>
    </message>
    <message>
        <source>&amp;Add my favourite flag and note to each material</source>
        <translation>Meine Favoritenmarke und Notiz zu jedem Riechstoff &amp;hinzufügen</translation>
    </message>
</context>
<context>
    <name>zel::ui::TSearchWindow</name>
    <message>
        <source>Doubleclick media for good stability (++)</source>
        <translation>Doppelklick auf ein Medium: gute Stabilität (++)</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswahl</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Odour</source>
        <translation>Geruch</translation>
    </message>
    <message>
        <source>Performance</source>
        <translation>Leistung</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Stability</source>
        <translation>Stabilität</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>Aus&amp;wahl</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alle</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
</TS>
