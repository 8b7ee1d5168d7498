INSERT INTO TSYBCDETAILS (publisherBC, BCname, tableid, productID) VALUES
 ('PUB_Sales','FMK_Orders',230,'4009'), ('PUB_Sales','FMK_Visits',240,'4009'), ('','FMK_Parts',224,'4009'),
 (NULL,'FMK_Stock',220,'4009'), ('','FMK_Tasks',229,'4009'), ('','FMK_Crews',234,'4009'),
 ('','FMK_Routes',236,'4009'), ('','FMK_Notes',235,'4009');
